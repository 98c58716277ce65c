// Runs a fuzz target over the inputs kept in folders (its seed corpus and the
// cases the fuzzer once crashed on), without the fuzzer: `make test` replays
// them with the ordinary compiler, so a fixed fault that comes back fails.
#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <cstdint>
#include <cstdio>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size);

int main(int argc, char** argv) {
    int inputs = 0;
    for (int i = 1; i < argc; ++i) {
        const QFileInfo info(QString::fromLocal8Bit(argv[i]));
        QStringList files;
        if (info.isDir()) {
            QDir dir(info.filePath());
            for (const QString& name : dir.entryList(QDir::Files, QDir::Name)) files << dir.filePath(name);
        } else if (info.isFile()) {
            files << info.filePath();
        }
        for (const QString& path : files) {
            QFile f(path);
            if (!f.open(QIODevice::ReadOnly)) {
                std::fprintf(stderr, "replay: cannot read %s\n", qPrintable(path));
                return 2;
            }
            const QByteArray bytes = f.readAll();
            LLVMFuzzerTestOneInput(reinterpret_cast<const uint8_t*>(bytes.constData()), static_cast<size_t>(bytes.size()));
            ++inputs;
        }
    }
    std::printf("replayed %d inputs\n", inputs);
    return inputs > 0 ? 0 : 1;
}

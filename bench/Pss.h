#pragma once

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QHash>
#include <QList>
#include <QPair>

// The proportional set size of this process and every process it started (the
// engine's zygote if it has one, its renderers, its utility processes), in MiB: memory shared
// between them is counted once, split between its sharers.
struct TreeMemory {
    double pssMiB = 0;
    int processes = 0;
    int renderers = 0;
};

inline TreeMemory treeMemory() {
    QHash<int, QList<int>> children;
    for (const QString& entry : QDir(QStringLiteral("/proc")).entryList(QDir::Dirs)) {
        bool numeric = false;
        const int pid = entry.toInt(&numeric);
        if (!numeric) continue;
        QFile stat(QStringLiteral("/proc/%1/stat").arg(pid));
        if (!stat.open(QIODevice::ReadOnly)) continue;
        const QByteArray line = stat.readAll();
        const QList<QByteArray> fields = line.mid(line.lastIndexOf(')') + 2).split(' ');
        children[fields.value(1).toInt()].append(pid);  // field 4 of the whole line: the parent
    }
    TreeMemory out;
    double kib = 0;
    const auto commandLine = [](int pid) {
        QFile cmdline(QStringLiteral("/proc/%1/cmdline").arg(pid));
        return cmdline.open(QIODevice::ReadOnly) ? cmdline.readAll() : QByteArray();
    };
    QList<QPair<int, bool>> todo{{static_cast<int>(QCoreApplication::applicationPid()), false}};
    while (!todo.isEmpty()) {
        const auto [pid, parentIsZygote] = todo.takeLast();
        const QByteArray command = commandLine(pid);
        const bool zygote = command.contains("--type=zygote");
        // The engine's renderers are forked from its zygote and keep its command line;
        // without a zygote they are started as renderers.
        if ((zygote && parentIsZygote) || command.contains("--type=renderer")) ++out.renderers;
        for (int child : children.value(pid)) todo.append({child, zygote});
        QFile rollup(QStringLiteral("/proc/%1/smaps_rollup").arg(pid));
        if (!rollup.open(QIODevice::ReadOnly)) continue;
        ++out.processes;
        for (const QByteArray& l : rollup.readAll().split('\n'))
            if (l.startsWith("Pss:")) kib += l.mid(4).trimmed().split(' ').value(0).toDouble();
    }
    out.pssMiB = kib / 1024.0;
    return out;
}

// Lets the engine work for `ms` (its pages load, its processes settle).
inline void settleFor(int ms) {
    QElapsedTimer t;
    t.start();
    while (t.elapsed() < ms) QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
}

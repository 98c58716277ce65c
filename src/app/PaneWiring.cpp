#include "app/PaneWiring.h"

#include <QDir>
#include <QDirIterator>
#include <QFileInfo>

#include <QDialog>
#include <QPushButton>
#include <QTabWidget>

#include "app/MailSending.h"
#include "app/fMain.h"
#include "app/frmKakunin.h"
#include "description/Description.h"
#include "description/DescriptionPane.h"
#include "listing/pictures/Picture.h"
#include "memory/MemoryStore.h"
#include "mail/MailPane.h"
#include "core/Values.h"
#include "settings/IniFile.h"
#include "memory/MemoryTable.h"
#include "core/TextFile.h"
#include "core/ProgramFolder.h"
#include "core/Prefectures.h"
#include "shipping/mHASSOU.h"
#include "mail/MailComposer.h"
#include "settings/SiteAddresses.h"
#include "site/SharedNetwork.h"
#include "myauction/MyAuctionPane.h"
#include "settings/mINI.h"
#include "shipping/ShippingPane.h"
#include "site/ListingForm.h"
#include "listing/records/ListingRecord.h"
#include "listing/preflight/PreflightWindow.h"
#include "listing/queue/QueueRun.h"
#include "listing/form/SiteFormPane.h"
#include "widgets/Browser.h"

namespace PaneWiring {

namespace {
// A listing as the history keeps it and as its record on disk holds it: the same facts, passed
// between the two here only (neither side knows the other).
using Listed = HistoryStore::Listed;

Listed listedOf(const listingrecord::Record& record) {
    Listed listed;
    listed.auctionId = record.auctionId;
    listed.listedAt = QDateTime::fromString(record.listedAt, Qt::ISODate);
    listed.title = record.title;
    listed.category = record.category;
    listed.folder = record.folder;
    listed.confirmation = record.confirmation;
    return listed;
}

listingrecord::Record recordOf(const Listed& listed) {
    listingrecord::Record record;
    record.auctionId = listed.auctionId;
    record.listedAt = listed.listedAt.toString(Qt::ISODate);
    record.title = listed.title;
    record.category = listed.category;
    // Below this program folder, where the record is now (the history keeps the path it was written to).
    record.folder = listingrecord::folderOf(listed.auctionId);
    return record;
}
}  // namespace

void connectPanes(fMain& window, UiServices& ui) {
    QTabWidget* tabs = window.vsMAIN();
    MailPane* mail = window.mailPane();
    ShippingPane* shipping = window.shippingPane();
    DescriptionPane* description = window.descriptionPane();
    SiteFormPane* siteForm = window.siteFormPane();
    MyAuctionPane* myAuction = window.myAuctionPane();
    QueueRun* queue = window.queueRun();

    QObject::connect(siteForm->Command7(), &QPushButton::clicked, &window, &fMain::Command7_Click);
    // The queue opens each listing as ファイル/開く does: it becomes the current file.
    queue->setOpener([&window, tabs, siteForm](const QString& path) {
        if (!window.ReadFile(path)) return false;
        window.setCurrentPath(path);
        tabs->setCurrentWidget(siteForm);
        return true;
    });
    queue->setCsvHooks(csvHooks(window, ui));
    QObject::connect(queue, &QueueRun::atConfirmation, &window, [&window, &ui, tabs, siteForm] {
        tabs->setCurrentWidget(siteForm);
        confirmListing(ConfirmFrom::Queue, ui, *siteForm, &window);
    });
    QObject::connect(siteForm, &SiteFormPane::queueRequested, &window, [&window] { window.showQueue(); });
    // A listing's record goes into the history too, so that listing's history window shows it.
    QObject::connect(queue, &QueueRun::recorded, &window,
                     [myAuction](const listingrecord::Record& record) { myAuction->recordListing(listedOf(record)); });
    myAuction->setRecordOpener([&window](const QString& auctionId) { window.showRecords()->find(auctionId); });
    // 出品手続へ: the description's title and HTML go to the listing pane, which comes to the front.
    QObject::connect(description, &DescriptionPane::listingRequested, &window, [tabs, siteForm](const QString& title, const QString& html) {
        siteForm->setListing(title, html);
        tabs->setCurrentWidget(siteForm);
    });
    // The shipping table goes into an item row of the description, which comes to the front.
    QObject::connect(shipping, &ShippingPane::pasteRequested, &window,
                     [tabs, description](int row, const QString& name, const QString& html) {
                         description->setItem(row, name, html);
                         tabs->setCurrentWidget(description);
                     });
    QObject::connect(shipping, &ShippingPane::previewRequested, description, &DescriptionPane::shippingPreview);
    // The my-auction link names the seller of the mail pane's sender block.
    description->setSellerIdSource([mail] { return mail->sellerId(); });
    QObject::connect(mail, &MailPane::salesRequested, &window, [&window] { window.showSales(); });
    // The plain requests' cookies come from the browsers' store as it reports them: begun now, the
    // sign-in kept from the last sitting is there before the seller first asks for a page.
    SharedNetwork::manager();
}

listingcsv::Hooks csvHooks(fMain& window, UiServices& ui) {
    listingcsv::Hooks hooks;
    hooks.readMemory = [](const QString& path) -> std::optional<QMap<QString, QString>> {
        if (!QFileInfo(path).isFile() || QFileInfo(path).size() > 16 * 1024 * 1024) return std::nullopt;
        QString text;
        if (TextFile::readCp932Text(path, &text) != TextFile::Read::Ok) return std::nullopt;
        const IniFile file = IniFile::load(path);
        if (!file.hasSection(QStringLiteral("出品手続")) && !file.hasSection(memory::kListingSection)) return std::nullopt;
        return memory::read(file);
    };
    hooks.context = [read = hooks.readMemory] {
        listingcsv::Context context;
        context.designs = description::listDesigns(ProgramFolder::templateHtml());
        // The categories the seller has listed in before: the memory files kept and the records.
        QDirIterator files(ProgramFolder::user(), {QStringLiteral("*.srb"), QStringLiteral("*.SRB")}, QDir::Files,
                           QDirIterator::Subdirectories);
        for (int n = 0; files.hasNext() && n < 5000; ++n) {
            const IniFile file = IniFile::load(files.next());
            const QString category = file.value(memory::kListingSection, QStringLiteral("カテゴリ"));
            const QString address = file.value(memory::kListingSection, QStringLiteral("カテゴリのアドレス"));
            if (!category.isEmpty() && !address.isEmpty()) context.categories.insert(category, address);
        }
        context.pictureProblem = [](const QString& path) { return picture::problemWith(path); };
        context.readMemory = read;
        return context;
    };
    hooks.maker = [&window, &ui] {
        listingcsv::Maker maker;
        // The window as it stands, without its item: what the seller set up for every listing.
        QMap<QString, QString> values = MemoryStore(&window, ui).controlValues();
        const QMap<QString, QString>& own = listingcsv::itemDefaults();
        for (auto it = own.begin(); it != own.end(); ++it) values.insert(it.key(), it.value());
        IniFile base{QString()};
        memory::write(base, values);
        maker.windowFile = base.toBytes();
        maker.writeSome = [](IniFile& file, const QMap<QString, QString>& controls) { memory::writeSome(file, controls); };
        // The design's mark and My Auction link as ﾌﾟﾚﾋﾞｭｰ fills them: the window's, now.
        const QMap<QString, QString> now = MemoryStore(&window, ui).controlValues();
        description::Input frame;
        frame.mark = description::kMarks.value(now.value(QStringLiteral("cmbKIGOU_1")).toInt());
        frame.myAuction = now.value(QStringLiteral("ckMy")) == QLatin1String("1");
        frame.myAuctionForm = now.value(QStringLiteral("Combo6")).toInt();
        frame.sellerId = window.mailPane()->sellerId();
        maker.describe = [frame](int design, const QMap<QString, QString>& controls,
                                 QString* problem) -> std::optional<QMap<QString, QString>> {
            const QStringList designs = description::listDesigns(ProgramFolder::templateHtml());
            const QString path = QDir(ProgramFolder::templateHtml()).filePath(designs.value(design));
            QString text;
            if (design < 0 || design >= designs.size() || TextFile::readCp932Text(path, &text) != TextFile::Read::Ok) {
                *problem = QStringLiteral("デザインファイルを読み込めませんでした。\r\n") + path;
                return std::nullopt;
            }
            const QStringList lines = description::templateLines(text);
            if (lines.size() > description::kTableSize) {
                *problem = QStringLiteral("デザインファイルの行数が多すぎます。(%1行まで)\r\n").arg(description::kTableSize) + path;
                return std::nullopt;
            }
            description::Input input = frame;
            input.productName = controls.value(QStringLiteral("txtSYOUHIN"));
            for (int n = 0; n < description::kItems; ++n) {
                input.itemNames << controls.value(QStringLiteral("txtITEM_%1").arg(n));
                input.itemContents << controls.value(QStringLiteral("txtSETUMEI_%1").arg(n));
            }
            return QMap<QString, QString>{{QStringLiteral("txtDescription"), description::generate(lines, input).html},
                                          {QStringLiteral("cmbHTML"), QString::number(design)}};
        };
        return maker;
    };
    return hooks;
}

SalesWindow::Hooks salesHooks(fMain& window, UiServices& ui) {
    SalesWindow::Hooks hooks;
    MailPane* mail = window.mailPane();
    hooks.fill = [mail](const QString& templateText, const sales::PaneFacts& facts) {
        mail::Values values = mail->values();
        values.user = facts.user;
        values.title = facts.title;
        values.price = facts.price;
        values.cost = facts.cost;
        return mail::fill(mail::bodyFromTemplate(templateText), values);
    };
    hooks.handOver = [&ui, &window](const QString& to, const QString& subject, const QString& body) {
        return mail::handOver(ui, to, subject, body, &window);
    };
    // Read when each mail is made: settings saved meanwhile count.
    hooks.send = [&ui] { return MailSending::salesSend(ui); };
    hooks.network = SharedNetwork::manager();
    hooks.closedListings = SiteAddresses::closedListingsUrl();
    hooks.itemBase = SiteAddresses::itemUrl(QString());
    hooks.feedbackUrl = [](const QString& auctionId) { return SiteAddresses::feedbackUrl(auctionId); };
    // The fee for a sale's parcel is the shipping pane's: its rules, its rate files, its 発送元.
    ShippingPane* shipping = window.shippingPane();
    hooks.feeRules.services = mHASSOU::serviceNames();
    hooks.feeRules.prefectures = kShippingPrefectures;
    hooks.feeRules.fee = [shipping](int service, const QString& destination, const SaleFeeDialog::Package& package) {
        mHASSOU::Parcel parcel;
        parcel.origin = shipping->origin();
        parcel.destination = destination;
        for (int i = 0; i < 3; ++i) parcel.sides[i] = package.sides[i];
        parcel.grams = package.grams;
        const QString path = ProgramFolder::mast() + mHASSOU::rateFileOf(service);
        const mHASSOU::ParcelFee fee = mHASSOU::serviceFee(service, parcel, [&path]() -> std::optional<QString> {
            QString text;
            if (TextFile::readCp932Text(path, &text) != TextFile::Read::Ok) return std::nullopt;
            return text;
        });
        if (fee.unreadable) return SaleFeeDialog::Answer{mHASSOU::kNotYet, QStringLiteral("料金表ファイルを読み込めませんでした：") + path};
        if (fee.malformed)
            return SaleFeeDialog::Answer{mHASSOU::kNotYet, QStringLiteral("料金表ファイルの内容が正しくありません：") + path};
        return SaleFeeDialog::Answer{fee.price, fee.note};
    };
    // The memory file kept with a listing's record, read with the keys the memory files use.
    hooks.record = [](const QString& auctionId) -> std::optional<SaleFeeDialog::Record> {
        const QString path = QDir(listingrecord::folderOf(auctionId)).filePath(listingrecord::kMemoryFileName);
        if (!QFileInfo::exists(path)) return std::nullopt;
        const IniFile file = IniFile::load(path);
        SaleFeeDialog::Record r;
        r.category = file.value(memory::kListingSection, QStringLiteral("カテゴリ"));
        r.startPrice = file.value(QStringLiteral("出品手続"), QStringLiteral("開始価格"));
        for (int i = 0; i < 3; ++i)
            r.package.sides[i] = values::leadingNumber(file.value(QStringLiteral("送料計算"), QStringLiteral("3辺%1").arg(i)));
        // The weight is kept as the place of its entry in the pane's list (-1: none chosen).
        bool placed = false;
        const int weight = file.value(QStringLiteral("送料計算"), QStringLiteral("重さ")).trimmed().toInt(&placed);
        if (placed && weight >= 0 && weight < ShippingPane::weights().size())
            r.package.grams = ShippingPane::weights().at(weight).toDouble();
        // The ways the listing's mail offered (メール作成's boxes, by the shipping pane's names).
        for (const QString& way : mHASSOU::serviceNames())
            if (values::leadingInt(file.value(QStringLiteral("メール作成"), way)) == 1) r.ways << way;
        return r;
    };
    return hooks;
}

void confirmListing(ConfirmFrom from, UiServices& ui, SiteFormPane& pane, QWidget* parent) {
    const SiteFormPane::Fees fees = pane.fees();
    // A paid option with no fee file to price it: the seller hears why before the summary shows no total.
    if (from == ConfirmFrom::Button && fees.choice.any() && !fees.known) pane.reportFeeFile();
    const listing::ListingWarnings warnings = pane.listingWarnings();
    if (PreflightWindow::wanted(fees, pane.formCheck(), warnings)) {
        if (from == ConfirmFrom::Button) {
            PreflightWindow summary(ui, fees, pane.formCheck(), warnings, parent);
            if (summary.exec() != QDialog::Accepted) return;
        } else {
            auto* summary = new PreflightWindow(ui, fees, pane.formCheck(), warnings, parent);
            summary->setAttribute(Qt::WA_DeleteOnClose);
            summary->open();
        }
    }
    if (from == ConfirmFrom::Button && mINI::Ini_Get(QStringLiteral("確認画面"), QStringLiteral("同意")) != QLatin1String("1")) {
        frmKakunin notice(ui, parent);
        notice.exec();
    }
    pane.WB()->scrollTo(0, site::finalButtonScroll());
}

frmKIROKU::Source recordsFromHistory(MyAuctionPane& history) {
    frmKIROKU::Source source;
    source.list = [&history]() -> std::optional<QList<listingrecord::Record>> {
        const std::optional<QList<Listed>> listed = history.listings();
        if (!listed) return std::nullopt;
        QList<listingrecord::Record> records;
        records.reserve(listed->size());
        for (const Listed& l : *listed) records << recordOf(l);
        return records;
    };
    source.lacking = [&history](const QList<listingrecord::Record>& found) {
        for (const listingrecord::Record& record : found) history.recordListing(listedOf(record), false);
    };
    return source;
}

}  // namespace PaneWiring

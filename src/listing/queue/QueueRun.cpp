#include "listing/queue/QueueRun.h"

#include <QDateTime>
#include <QFile>
#include <QFileInfo>
#include <QThreadPool>

#include "core/UiServices.h"
#include "site/Evidence.h"
#include "site/ListingForm.h"
#include "site/SitePages.h"
#include "listing/records/ListingRecord.h"
#include "listing/pictures/Picture.h"
#include "listing/form/SiteFormPane.h"
#include "widgets/Browser.h"

using listingqueue::State;

namespace {
const QString kCaption = QStringLiteral("出品キュー");
}

QueueRun::QueueRun(UiServices& ui, SiteFormPane* pane, const QString& queueFile, QObject* parent)
    : QObject(parent), m_ui(ui), m_pane(pane), m_queue(queueFile) {
    QString problem;
    if (!m_queue.load(&problem)) m_ui.message(problem, kCaption, UiServices::Icon::Warning, UiServices::Buttons::Ok, m_pane);
    // A row the last run left on its way: before its confirmation it waits again; after it, the seller decides.
    if (m_queue.recover() > 0) saveQueue();
    m_watch.setSingleShot(true);
    m_watch.setInterval(kStepWaitMs);
    connect(&m_watch, &QTimer::timeout, this, [this] {
        fail(QStringLiteral("%1のページがサイトから返ってきませんでした（%2秒待ちました）。")
                 .arg(stepText())
                 .arg(m_watch.interval() / 1000));
    });
    // After the pane's own handler: the pane has continued, mirrored and scrolled by then.
    connect(m_pane->WB(), &Browser::DocumentComplete, this, &QueueRun::onPage);
    connect(m_pane, &SiteFormPane::picturesUploaded, this, &QueueRun::onPictures);
}

QueueRun::~QueueRun() {
    // A check still reading reports to this run: it ends while the run is whole.
    m_checks.waitForDone();
}

bool QueueRun::saveQueue() {
    QString problem;
    if (m_queue.save(&problem)) return true;
    m_ui.message(problem, kCaption, UiServices::Icon::Critical, UiServices::Buttons::Ok, m_pane);
    return false;
}

int QueueRun::add(const QStringList& files) {
    QStringList regular;
    QStringList refused;
    for (const QString& file : files) {
        if (QFileInfo(file).isFile())
            regular << file;
        else
            refused << QStringLiteral("「%1」はファイルではありません。").arg(QFileInfo(file).fileName());
    }
    if (!refused.isEmpty())
        m_ui.message(refused.join(QStringLiteral("\r\n")), kCaption, UiServices::Icon::Warning, UiServices::Buttons::Ok, m_pane);
    const int added = m_queue.add(regular);
    if (added > 0 && !saveQueue()) {
        // Not kept, so not shown: the seller adds it again once the disk takes it.
        for (int i = 0; i < added; ++i) m_queue.remove(m_queue.rows().last().id);
        Q_EMIT changed();
        return 0;
    }
    Q_EMIT changed();
    return added;
}

QString QueueRun::stepText() const {
    switch (m_step) {
        case Step::PictureCheck: return QStringLiteral("画像の確認");
        case Step::Category: return QStringLiteral("カテゴリ");
        case Step::Form: return QStringLiteral("出品フォーム");
        case Step::Upload:
        case Step::Pictures: return QStringLiteral("画像のアップロード");
        case Step::Confirm: return QStringLiteral("確認画面");
        case Step::AtConfirmation: return QStringLiteral("確認画面（出品者の確認待ち）");
        case Step::None: break;
    }
    return QString();
}

void QueueRun::start() {
    m_paused = false;
    if (running()) return;
    takeNext();
}

void QueueRun::pause() {
    m_paused = true;
    // Before its form went to the site the row simply waits again; once sent, its confirmation
    // page may still come and be agreed to: the row goes on to it, and no next row follows.
    if (running() && m_queue.backToWaiting(m_current)) {
        finishRow();
        saveQueue();
    }
    Q_EMIT changed();
}

void QueueRun::skip() {
    if (!running()) {
        if (const int next = m_queue.nextWaiting(m_passedOver)) m_passedOver << next;
        Q_EMIT changed();
        return;
    }
    const int id = m_current;
    const listingqueue::Row* row = m_queue.row(id);
    if (row->state == State::AtConfirmation) {
        m_queue.needsCheck(id, QStringLiteral("確認画面でスキップしました。出品されたかをサイトの出品中の一覧で確かめて下さい。"));
    } else if (row->sent) {
        m_queue.needsCheck(
            id,
            QStringLiteral(
                "出品フォームを送信した後にスキップしました。確認画面で同意していないかを確かめ、出品されたかをサイトの出品中の一覧で確かめて下さい。"));
    } else {
        m_queue.backToWaiting(id);
        m_passedOver << id;
    }
    finishRow();
    saveQueue();
    Q_EMIT changed();
    if (!m_paused) takeNext();
}

void QueueRun::finishRow() {
    m_watch.stop();
    m_current = 0;
    m_step = Step::None;
    m_confirmation.clear();
    m_snapshot.clear();
    m_leftUrl.clear();
    m_pane->setPolicy(SiteFormPane::Policy::seller());
}

void QueueRun::arm() { m_watch.start(); }

void QueueRun::takeNext() {
    const int id = m_queue.nextWaiting(m_passedOver);
    if (!id) {
        Q_EMIT changed();
        Q_EMIT stopped(QStringLiteral("待機中の出品はありません。"));
        return;
    }
    // The row is on its way before anything reaches the site: a crash from here on finds it so.
    if (!m_queue.begin(id) || !saveQueue()) {
        m_queue.backToWaiting(id);
        Q_EMIT changed();
        return;
    }
    m_current = id;
    m_step = Step::Category;
    Q_EMIT changed();
    const QString file = m_queue.row(id)->file;
    QFile f(file);
    // A pipe or a device would keep the window waiting for bytes that never come.
    if (!QFileInfo(file).isFile()) {
        fail(QStringLiteral("記憶ファイル「%1」はファイルではありません。\r\n").arg(QFileInfo(file).fileName()) + file, false);
        return;
    }
    if (!f.open(QIODevice::ReadOnly)) {
        fail(QStringLiteral("記憶ファイルを開けませんでした。\r\n") + file, false);
        return;
    }
    m_snapshot = f.readAll();
    if (!m_open || !m_open(file)) {
        fail(QStringLiteral("記憶ファイルを開けませんでした。\r\n") + file, false);
        return;
    }
    const QString address = m_pane->categoryAddress();
    if (address.isEmpty()) {
        fail(
            QStringLiteral(
                "この記憶ファイルにはカテゴリがありません。出品手続でカテゴリを選び（続けるボタンのあるページまで進み）、記憶ファイルに保存して下さい。"),
            false);
        return;
    }
    // Every picture is read whole before anything goes: a file that is no picture (or one
    // changed since it was added) stops the row while the site has nothing of it. Read on
    // another thread, as a large picture takes a moment.
    const QStringList pictures = m_pane->pictures();
    m_step = Step::PictureCheck;
    Q_EMIT changed();
    m_checks.start([this, id, pictures, address] {
        QStringList problems;
        for (const QString& p : pictures)
            if (const QString problem = picture::problemWith(p); !problem.isEmpty()) problems << problem;
        QMetaObject::invokeMethod(
            this,
            [this, id, problems, address] {
                if (m_current != id || m_step != Step::PictureCheck) return;  // skipped or paused meanwhile
                if (!problems.isEmpty()) {
                    fail(problems.join(QStringLiteral("\r\n")), false);
                    return;
                }
                toCategory(address);
            },
            Qt::QueuedConnection);
    });
}

void QueueRun::toCategory(const QString& address) {
    m_step = Step::Category;
    m_pane->setPolicy(SiteFormPane::Policy::queue());
    // The page shown before (the last listing's completion page, still loading) may yet say
    // it has loaded: that is not the category's page.
    m_leftUrl = m_pane->WB()->url();
    arm();
    m_pane->WB()->Navigate2(address);
}

void QueueRun::onPage(const QString& address) {
    // The pane answers each picture's page itself; before the category, no page is the queue's.
    if (!running() || m_step == Step::Pictures || m_step == Step::PictureCheck) return;
    m_watch.stop();
    Browser* wb = m_pane->WB();
    site::ListingFormPage page(wb);
    // The category's page: the pane has pressed its continue button, and the form is on its
    // way; the page is not read again while it goes.
    if (m_step == Step::Category && m_pane->takeContinued()) {
        m_step = Step::Form;
        // The page this step leaves is the category's (as it was told: by now the browser may
        // show the form's address): the page shown before the row began may well be this
        // very form, where the seller typed the listing, at the address the form comes to.
        m_leftUrl = QUrl(address);
        arm();
        return;
    }
    const QString title = wb->documentTitle().text();

    if (m_step == Step::AtConfirmation) {
        if (title == site::confirmPageTitle()) return;  // the same page again (reloaded)
        if (title == site::finishedPageTitle()) {
            if (const std::optional<QString> id = page.newAuctionId()) {
                complete(*id);
                return;
            }
            fail(QStringLiteral("出品完了のページからオークションIDを読み取れませんでした。出品中の一覧で確かめて下さい。"));
            return;
        }
        fail(QStringLiteral("確認画面の後、出品完了のページが表示されませんでした。出品されたかをサイトの出品中の一覧で確かめて下さい。"));
        return;
    }

    // The page this step left, told once more (the engine finishes a page that has just
    // taken a file twice): the next one is still on its way.
    // On the way to the category, the page before may also end unloaded (its load cut short
    // by the category's), or end after the category was asked for. Judged by the address
    // the page was told with: by now the browser may show the next page's.
    if (!m_leftUrl.isEmpty() && QUrl(address) == m_leftUrl && (wb->lastLoadOk() || m_step == Step::Category)) {
        arm();
        return;
    }
    if (!wb->lastLoadOk()) {
        // A category the site no longer has answers "not found".
        fail(m_step == Step::Category
                 ? QStringLiteral("カテゴリ「%1」のページを表示できませんでした。サイトにこのカテゴリが無くなったかもしれません。")
                       .arg(m_pane->categoryPath())
                 : QStringLiteral("%1のページを表示できませんでした。").arg(stepText()));
        return;
    }
    if (site::LoginPage(wb).read().hasForm) {
        fail(QStringLiteral("%1の途中でログインを求められました。ログインし直してから、この行を待機に戻して下さい。").arg(stepText()));
        return;
    }
    switch (m_step) {
        case Step::Category:
            // A page without the continue button is no category of the site's now.
            fail(QStringLiteral("カテゴリ「%1」のページに続けるボタンがありません。サイトにこのカテゴリが無くなったかもしれません。")
                     .arg(m_pane->categoryPath()));
            return;
        case Step::Form: {
            const listing::FormCheck& check = m_pane->formCheck();
            if (!check.formPage) {
                fail(QStringLiteral("出品フォームが表示されませんでした。"));
                return;
            }
            if (!check.notReached.isEmpty()) {
                // The pane kept the page already.
                fail(QStringLiteral("出品フォームに入らなかった項目があります: ") +
                         listing::formCheckLines(check).join(QStringLiteral("、")) + site::evidenceNote(m_pane->formEvidence()),
                     false);
                return;
            }
            // From here the site may make it a listing: the file says so before anything goes.
            if (!m_queue.formSent(m_current) || !saveQueue()) {
                fail(QStringLiteral("出品キューを保存できないため、出品フォームを送信せずに止めました。"), false);
                return;
            }
            m_step = Step::Upload;
            m_leftUrl = wb->url();
            arm();
            if (!page.send()) fail(QStringLiteral("出品フォームの送信ボタンが見つかりません。"));
            return;
        }
        case Step::Upload: {
            if (title != site::uploadPageTitle()) {
                fail(QStringLiteral("画像のアップロードのページが表示されませんでした。"));
                return;
            }
            if (m_pane->pictures().isEmpty()) {
                toConfirmation();
                return;
            }
            m_step = Step::Pictures;
            QString problem;
            if (!m_pane->uploadPictures(&problem)) fail(problem);
            return;
        }
        case Step::Confirm: {
            if (title != site::confirmPageTitle()) {
                fail(QStringLiteral("確認画面が表示されませんでした。"));
                return;
            }
            // The seller is invited to press only once the file knows the page was reached;
            // the file still says the form was sent, so after a restart the row is 要確認.
            if (!m_queue.reachConfirmation(m_current) || !saveQueue()) {
                fail(
                    QStringLiteral(
                        "出品キューを保存できないため、確認画面で止めました。サイトの同意ボタンを押す前に、ディスクの空きを確かめて下さい。"),
                    false);
                return;
            }
            m_confirmation = page.confirmation().value_or(QList<QPair<QString, QString>>());
            m_step = Step::AtConfirmation;
            Q_EMIT changed();
            Q_EMIT atConfirmation(m_current);
            return;
        }
        case Step::PictureCheck:
        case Step::Pictures:
        case Step::AtConfirmation:
        case Step::None: return;
    }
}

void QueueRun::onPictures(const QString& problem) {
    if (!running() || m_step != Step::Pictures) return;
    if (!problem.isEmpty()) {
        fail(problem, false);  // the pane kept the page and says where
        return;
    }
    // Told from inside the last picture's page completion, which this run is also to hear:
    // the next page is asked for once that one has been told to everyone.
    const int id = m_current;
    QTimer::singleShot(0, this, [this, id] {
        if (m_current == id && m_step == Step::Pictures) toConfirmation();
    });
}

void QueueRun::toConfirmation() {
    m_step = Step::Confirm;
    m_leftUrl = m_pane->WB()->url();
    arm();
    if (!site::ListingFormPage(m_pane->WB()).toConfirmation()) fail(QStringLiteral("確認画面へ進むリンクが見つかりません。"));
}

void QueueRun::fail(const QString& reason, bool keepPage) {
    if (!running()) return;
    QString why = reason;
    if (keepPage) why += site::evidenceNote(site::keepEvidence(m_pane->WB(), reason));
    m_queue.needsCheck(m_current, why);
    finishRow();
    m_paused = true;  // the seller looks first
    saveQueue();
    Q_EMIT changed();
    Q_EMIT stopped(why);
}

void QueueRun::complete(const QString& auctionId) {
    const int id = m_current;
    listingrecord::Record record;
    record.auctionId = auctionId;
    record.listedAt = QDateTime::currentDateTime().toString(Qt::ISODate);
    record.title = m_pane->title();
    record.category = m_pane->categoryPath();
    record.categoryAddress = m_pane->categoryAddress();
    record.description = m_pane->description();
    record.sourceFile = m_queue.row(id)->file;
    record.confirmation = m_confirmation;
    QString problem;
    const QString folder = listingrecord::write(record, m_snapshot, &problem);
    m_queue.listed(id, auctionId, folder);
    finishRow();
    saveQueue();
    Q_EMIT changed();
    if (!folder.isEmpty()) {
        record.folder = folder;
        Q_EMIT recorded(record);
    }
    // The listing is out whatever became of its record; the seller hears what could not be kept.
    if (folder.isEmpty()) m_ui.message(problem, kCaption, UiServices::Icon::Warning, UiServices::Buttons::Ok, m_pane);
    if (m_atOnce && !m_paused)
        takeNext();
    else
        Q_EMIT stopped(QStringLiteral("出品しました（%1）。次へを押すと次の出品に進みます。").arg(auctionId));
}

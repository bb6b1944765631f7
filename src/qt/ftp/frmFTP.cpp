#include "qt/ftp/frmFTP.h"

#include "qt/ftp/DriveList.h"
#include "qt/ftp/FileList.h"
#include "qt/ftp/FolderList.h"
#include "qt/ftp/RemoteText.h"
#include "qt/ftp/TextViewer.h"
#include "qt/platform/LocalPath.h"
#include "qt/platform/MessageBoxes.h"

#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QEventLoop>
#include <QFile>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QThread>

#include <exception>

namespace vantiro {
namespace {

const QString serverToolTip = QStringLiteral(
    "Name oder Adresse des Servers. Davor kann die Art der Verbindung stehen: ftp:// "
    "(Standard), ftpes:// (FTP mit TLS), ftps:// (FTP mit implizitem TLS) oder sftp:// "
    "(SSH). Hinter dem Namen kann :Port folgen, zum Beispiel ftpes://example.com:2121.");

} // namespace

frmFTP::frmFTP(MessageBoxes& boxes, FtpClientFactory factory, QString programFolder,
               QWidget* parent)
    : QDialog(parent), boxes_(boxes), programFolder_(std::move(programFolder)), ui_(*this),
      session_(*this, std::move(factory))
{
    setObjectName(QStringLiteral("frmFTP"));
    setModal(true);
    resize(1000, 640);
    ui_.txtServername->setToolTip(serverToolTip);
    // Long listings: rows of one height let the list lay out without measuring every row.
    ui_.lstServer->setUniformItemSizes(true);
    keepAlive_.setInterval(keepAliveMilliseconds);
    connectHandlers();
}

frmFTP::~frmFTP()
{
    keepAlive_.stop();
    session_.Unload();
    removeViewerFolder();
    while (busyDepth_ > 0)
        setBusy(false);
}

template <typename Handler> void frmFTP::run(Handler handler)
{
    (session_.*handler)();
    if (closePending_ && !session_.Running())
        done(QDialog::Rejected);
}

template <typename Handler> void frmFTP::onClick(QAbstractButton* button, Handler handler)
{
    connect(button, &QAbstractButton::clicked, this, [this, handler] { run(handler); });
}

void frmFTP::clickIfEnabled(QAbstractButton* button)
{
    if (button->isEnabled())
        button->click();
}

void frmFTP::connectHandlers()
{
    onClick(ui_.cmdConnect, &FtpSession::Connect);
    onClick(ui_.cmdDisconnect, &FtpSession::Disconnect);
    onClick(ui_.cmdRefresh, &FtpSession::Refresh);
    onClick(ui_.cmdUpload, &FtpSession::Upload);
    onClick(ui_.cmdDownload, &FtpSession::Download);
    onClick(ui_.cmdOpen, &FtpSession::ShowRemoteFile);
    onClick(ui_.cmdDelete, &FtpSession::DeleteRemoteEntry);
    onClick(ui_.cmdRename, &FtpSession::RenameRemoteEntry);
    onClick(ui_.cmdMakeDir, &FtpSession::MakeRemoteDirectory);
    connect(ui_.cmdExit, &QPushButton::clicked, this, &QDialog::reject);
    connect(ui_.optAscii, &QRadioButton::clicked, this,
            [this] { session_.SelectTransferType(TransferType::Ascii); });
    connect(ui_.optBinaer, &QRadioButton::clicked, this,
            [this] { session_.SelectTransferType(TransferType::Binary); });
    connect(ui_.lstServer, &QListWidget::itemClicked, this,
            [this] { session_.ServerLineClicked(); });
    connect(ui_.lstServer, &QListWidget::itemDoubleClicked, this,
            [this] { run(&FtpSession::ServerLineDoubleClicked); });
    connect(ui_.txtPassword, &QLineEdit::returnPressed, this,
            [this] { clickIfEnabled(ui_.cmdConnect); });
    connect(ui_.txtFilter, &QLineEdit::returnPressed, this,
            [this] { clickIfEnabled(ui_.cmdRefresh); });
    connect(&keepAlive_, &QTimer::timeout, this, [this] { run(&FtpSession::KeepAlive); });
    connect(ui_.DriveLokal, &DriveList::driveChanged, ui_.DirLokal, &FolderList::setPath);
    connect(ui_.DirLokal, &FolderList::pathChanged, this, &frmFTP::folderChanged);
    connect(ui_.fileListLokal, &QListWidget::itemClicked, this, &frmFTP::fileClicked);
}

int frmFTP::exec()
{
    prepareOpening();
    return QDialog::exec();
}

void frmFTP::prepareOpening()
{
    closePending_ = false;
    ui_.resetStartValues();
    session_.Load();
    ui_.DirLokal->setPath(programFolder_ + QStringLiteral("/doorpages/"));
    showDisclaimer();
    SetDisconnectedState();
    fileClicked();
}

void frmFTP::showDisclaimer()
{
    boxes_.message(QStringLiteral("Haftungsausschluss"),
                   QStringLiteral("Mit Nutzung des FTP-Programmteils wird der Autor des "
                                  "Programms von jeglicher Haftung für alle Schäden, "
                                  "Kopierfehler, Datenverlust auf dem Server etc. "
                                  "uneingeschränkt, d.h. unabhängig, ob Vorsatz oder "
                                  "Fahrlässigkeit, befreit."),
                   MessageBoxes::Icon::Exclamation);
}

void frmFTP::done(int result)
{
    if (session_.Running()) {
        closePending_ = true;
        session_.RequestStop();
        return;
    }
    closePending_ = false;
    keepAlive_.stop();
    session_.Unload();
    removeViewerFolder();
    QDialog::done(result);
}

void frmFTP::keyPressEvent(QKeyEvent* event)
{
    switch (event->key()) {
    case Qt::Key_Escape:
    case Qt::Key_Return:
    case Qt::Key_Enter:
        event->accept();
        return;
    default:
        QDialog::keyPressEvent(event);
    }
}

void frmFTP::folderChanged()
{
    ui_.fileListLokal->setPath(ui_.DirLokal->path());
    fileClicked();
}

void frmFTP::fileClicked()
{
    ui_.lblLokal->setText(ui_.fileListLokal->path() + QLatin1Char('/') +
                          ui_.fileListLokal->fileName());
}

std::string frmFTP::serverText() const
{
    return RemoteText::typed(ui_.txtServername->text());
}

std::string frmFTP::userText() const
{
    return RemoteText::typed(ui_.txtUsername->text());
}

std::string frmFTP::passwordText() const
{
    return RemoteText::typed(ui_.txtPassword->text());
}

std::string frmFTP::filterText() const
{
    return RemoteText::typed(ui_.txtFilter->text());
}

bool frmFTP::passiveChecked() const
{
    return ui_.chkPassiv->checkState() != Qt::Unchecked;
}

void frmFTP::SetStatus(const std::string& text)
{
    ui_.lblStatus->setText(RemoteText::display(text));
    ui_.lblStatus->repaint();
}

void frmFTP::setLocation(const std::string& text)
{
    ui_.lblFTP->setText(RemoteText::display(text));
}

void frmFTP::setServerLines(const std::vector<std::string>& lines)
{
    QStringList texts;
    texts.reserve(static_cast<qsizetype>(lines.size()));
    for (const std::string& line : lines)
        texts.append(QString::fromStdString(line));
    ui_.lstServer->clear();
    ui_.lstServer->addItems(texts);
}

int frmFTP::currentServerLine() const
{
    return ui_.lstServer->currentRow();
}

std::vector<int> frmFTP::selectedServerLines() const
{
    std::vector<int> rows;
    for (int row = 0; row < ui_.lstServer->count(); ++row) {
        if (ui_.lstServer->item(row)->isSelected())
            rows.push_back(row);
    }
    return rows;
}

void frmFTP::setDetails(const std::string& changed, const std::string& size,
                        const std::string& attributes)
{
    ui_.lblVeraenderung->setText(RemoteText::display(changed));
    ui_.lblGroesse->setText(RemoteText::display(size));
    ui_.lblAttribute->setText(RemoteText::display(attributes));
}

void frmFTP::SetConnectedState()
{
    ui_.setConnected(true);
    keepAlive_.start();
}

void frmFTP::SetDisconnectedState()
{
    ui_.setConnected(false);
    keepAlive_.stop();
}

void frmFTP::showMessage(const std::string& text)
{
    boxes_.message(QString(), RemoteText::display(text), MessageBoxes::Icon::None);
}

std::optional<std::string> frmFTP::askInput(const std::string& title, const std::string& prompt,
                                            const std::string& preset)
{
    const std::optional<QString> answer = boxes_.input(
        RemoteText::display(title), RemoteText::display(prompt), RemoteText::display(preset));
    if (!answer)
        return std::nullopt;
    return RemoteText::typed(*answer);
}

void frmFTP::setBusy(bool busy)
{
    if (busy) {
        ++busyDepth_;
        QApplication::setOverrideCursor(Qt::WaitCursor);
    } else if (busyDepth_ > 0) {
        --busyDepth_;
        QApplication::restoreOverrideCursor();
    }
}

void frmFTP::processEvents()
{
    QCoreApplication::processEvents();
}

// The window's event loop runs on while the call runs on a thread of its own, so the window
// repaints and DISCONNECT and EXIT can cancel; the session turns away every other handler.
// DISCONNECT is enabled meanwhile also when not connected yet, to cancel a connect attempt.
void frmFTP::runCall(const std::function<void()>& call)
{
    std::exception_ptr failure;
    QEventLoop loop;
    std::unique_ptr<QThread> worker(QThread::create([&call, &failure] {
        try {
            call();
        } catch (...) {
            failure = std::current_exception();
        }
    }));
    connect(worker.get(), &QThread::finished, &loop, &QEventLoop::quit);
    const bool disconnectEnabled = ui_.cmdDisconnect->isEnabled();
    ui_.cmdDisconnect->setEnabled(true);
    worker->start();
    loop.exec();
    worker->wait();
    ui_.cmdDisconnect->setEnabled(disconnectEnabled);
    if (failure)
        std::rethrow_exception(failure);
}

void frmFTP::showProgress(std::size_t done, std::size_t total)
{
    filesDone_ = done;
    filesTotal_ = total;
    updateProgressBar();
}

void frmFTP::showFileProgress(std::uint64_t done, std::uint64_t total)
{
    pendingBytesDone_ = done;
    pendingBytesTotal_ = total;
    if (QThread::currentThread() == thread()) {
        takeFileProgress();
        return;
    }
    // One update waiting is enough: it shows the latest figures when it runs.
    if (!progressPosted_.exchange(true)) {
        auto take = [this] { takeFileProgress(); };
        QMetaObject::invokeMethod(this, std::move(take), Qt::QueuedConnection);
    }
}

void frmFTP::takeFileProgress()
{
    progressPosted_ = false;
    bytesDone_ = pendingBytesDone_;
    bytesTotal_ = pendingBytesTotal_;
    updateProgressBar();
}

// One bar for both: whole files done plus the part of the current one, in thousandths of a
// file; the text gives the files and the kilobytes of the current file.
void frmFTP::updateProgressBar()
{
    QProgressBar& bar = *ui_.prgTransfer;
    const bool bytesKnown = bytesTotal_ > 0;
    const bool shown = filesTotal_ > 0 || bytesKnown;
    bar.setVisible(shown);
    if (!shown)
        return;
    const std::size_t files = std::max<std::size_t>(filesTotal_, 1);
    const std::uint64_t part =
        bytesKnown ? std::min<std::uint64_t>(bytesDone_ * 1000 / bytesTotal_, 1000) : 0;
    bar.setRange(0, static_cast<int>(std::min<std::size_t>(files, 1000000) * 1000));
    bar.setValue(static_cast<int>(std::min<std::uint64_t>(
        filesDone_ * 1000 + part, static_cast<std::uint64_t>(bar.maximum()))));
    QString format;
    if (filesTotal_ > 0)
        format = QStringLiteral("%1 von %2 Dateien").arg(filesDone_).arg(filesTotal_);
    if (bytesKnown) {
        if (!format.isEmpty())
            format += QStringLiteral(" - ");
        format += QStringLiteral("%1 von %2 KB").arg(bytesDone_ / 1024).arg(bytesTotal_ / 1024);
    }
    bar.setFormat(format);
}

std::string frmFTP::localFolder() const
{
    return LocalPath::fromQt(ui_.fileListLokal->path());
}

std::size_t frmFTP::localFileCount() const
{
    return static_cast<std::size_t>(ui_.fileListLokal->count());
}

std::vector<std::string> frmFTP::selectedLocalFiles() const
{
    std::vector<std::string> names;
    for (const QString& name : ui_.fileListLokal->selectedFileNames())
        names.push_back(LocalPath::fromQt(name));
    return names;
}

void frmFTP::refreshLocalFiles()
{
    ui_.fileListLokal->refresh();
}

// Nothing a server sends is handed to the desktop: files are shown in the program's own
// viewer only.
std::string frmFTP::viewerFolder()
{
    if (!viewerFolder_) {
        viewerFolder_ = std::make_unique<QTemporaryDir>(QDir::tempPath() +
                                                        QStringLiteral("/vantiro-anzeige-XXXXXX"));
        const bool ok =
            viewerFolder_->isValid() &&
            QFile::setPermissions(viewerFolder_->path(),
                                  QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        if (!ok) {
            viewerFolder_.reset();
            return {};
        }
    }
    return LocalPath::fromQt(viewerFolder_->path());
}

void frmFTP::removeViewerFolder()
{
    viewerFolder_.reset();
}

void frmFTP::openViewer(const std::string& path, const std::string& title)
{
    auto* viewer = new TextViewer(path, RemoteText::display(title), this);
    viewer->show();
}

} // namespace vantiro

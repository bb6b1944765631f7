#include "qt/ftp/FtpWindow.h"

#include "qt/ftp/DriveList.h"
#include "qt/ftp/FileList.h"
#include "qt/ftp/FolderList.h"
#include "qt/ftp/RemoteText.h"
#include "qt/ftp/TextViewer.h"
#include "qt/platform/LocalPath.h"
#include "qt/platform/MessageBoxes.h"
#include "qt/platform/ScreenFit.h"

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
#include <QScopeGuard>
#include <QTemporaryDir>
#include <QThread>

#include <exception>
#include <utility>

namespace vantiro {
namespace {

const QString serverToolTip = QStringLiteral(
    "Name oder Adresse des Servers. Davor kann die Art der Verbindung stehen: ftp:// "
    "(Standard), ftpes:// (FTP mit TLS), ftps:// (FTP mit implizitem TLS) oder sftp:// "
    "(SSH). Hinter dem Namen kann :Port folgen, zum Beispiel ftpes://example.com:2121.");

} // namespace

FtpWindow::FtpWindow(MessageBoxes& boxes, FtpClientFactory factory, QString programFolder,
                     QWidget* parent)
    : QDialog(parent), boxes_(boxes), programFolder_(std::move(programFolder)), ui_(*this),
      session_(*this, std::move(factory))
{
    setObjectName(QStringLiteral("frmFTP"));
    setModal(true);
    ScreenFit::fit(*this, QSize(1000, 640));
    ui_.serverEdit->setToolTip(serverToolTip);
    // Long listings: rows of one height let the list lay out without measuring every row.
    ui_.remoteList->setUniformItemSizes(true);
    keepAlive_.setInterval(keepAliveMilliseconds);
    // A child of the window, so that it can be found by name like the controls.
    keepAlive_.setParent(this);
    keepAlive_.setObjectName(QStringLiteral("keepAlive"));
    connectHandlers();
}

FtpWindow::~FtpWindow()
{
    keepAlive_.stop();
    session_.unload();
    removeViewerFolder();
    while (busyDepth_ > 0)
        setBusy(false);
}

template <typename Handler> void FtpWindow::run(Handler handler)
{
    const bool outermost = handlerDepth_ == 0;
    if (outermost)
        quietCall_ = handler == &FtpSession::keepAlive;
    ++handlerDepth_;
    {
        const auto leave = qScopeGuard([this, outermost] {
            --handlerDepth_;
            if (!outermost)
                return;
            quietCall_ = false;
            // The buttons stay disabled from the handler's first call to its end, so that they
            // do not flicker between the calls of a run.
            if (buttonsHeld_)
                releaseButtons();
        });
        (session_.*handler)();
    }
    if (closePending_ && !session_.running())
        done(QDialog::Rejected);
}

// Again for every call: a handler may have shown the connected state between two calls.
// Disabling the button that has the focus moves the focus on; it comes back afterwards unless
// the user has moved it meanwhile, so that a keyboard user stays where the command started.
void FtpWindow::holdButtons()
{
    const bool first = !buttonsHeld_;
    QWidget* focus = windowFocus();
    buttonsHeld_ = true;
    ui_.setCallRunning();
    if (first) {
        focusBeforeHold_ = focus;
        focusAfterHold_ = windowFocus();
    }
}

// Right after an input box closed, the window is not active yet and the application has no
// focus widget; the window still knows which of its controls has the focus.
QWidget* FtpWindow::windowFocus() const
{
    QWidget* focus = QApplication::focusWidget();
    return focus && focus->window() == this ? focus : focusWidget();
}

void FtpWindow::releaseButtons()
{
    buttonsHeld_ = false;
    ui_.setConnected(session_.connected());
    if (focusBeforeHold_ && focusBeforeHold_ != focusAfterHold_ && focusBeforeHold_->isEnabled() &&
        windowFocus() == focusAfterHold_)
        focusBeforeHold_->setFocus(Qt::OtherFocusReason);
    focusBeforeHold_ = nullptr;
    focusAfterHold_ = nullptr;
}

template <typename Handler> void FtpWindow::onClick(QAbstractButton* button, Handler handler)
{
    connect(button, &QAbstractButton::clicked, this, [this, handler] { run(handler); });
}

void FtpWindow::clickIfEnabled(QAbstractButton* button)
{
    if (button->isEnabled())
        button->click();
}

void FtpWindow::connectHandlers()
{
    onClick(ui_.connectButton, &FtpSession::connect);
    onClick(ui_.disconnectButton, &FtpSession::disconnect);
    onClick(ui_.refreshButton, &FtpSession::refresh);
    onClick(ui_.uploadButton, &FtpSession::upload);
    onClick(ui_.downloadButton, &FtpSession::download);
    onClick(ui_.showButton, &FtpSession::showRemoteFile);
    onClick(ui_.deleteButton, &FtpSession::deleteRemoteEntry);
    onClick(ui_.renameButton, &FtpSession::renameRemoteEntry);
    onClick(ui_.makeFolderButton, &FtpSession::makeRemoteDirectory);
    connect(ui_.exitButton, &QPushButton::clicked, this, &QDialog::reject);
    // What the options show is what the session uses, however they were changed: by click, by
    // key, by a screen reader's action or by the program.
    connect(ui_.asciiOption, &QRadioButton::toggled, this, [this](bool checked) {
        if (checked)
            session_.selectTransferType(TransferType::Ascii);
    });
    connect(ui_.binaryOption, &QRadioButton::toggled, this, [this](bool checked) {
        if (checked)
            session_.selectTransferType(TransferType::Binary);
    });
    // The details follow the current line, whether a click or the keys moved it.
    connect(ui_.remoteList, &QListWidget::currentRowChanged, this,
            [this] { session_.serverLineClicked(); });
    connect(ui_.remoteList, &QListWidget::itemClicked, this,
            [this] { session_.serverLineClicked(); });
    ui_.remoteList->installEventFilter(this);
    connect(ui_.remoteList, &QListWidget::itemDoubleClicked, this,
            [this] { run(&FtpSession::serverLineDoubleClicked); });
    connect(ui_.passwordEdit, &QLineEdit::returnPressed, this,
            [this] { clickIfEnabled(ui_.connectButton); });
    connect(ui_.filterEdit, &QLineEdit::returnPressed, this,
            [this] { clickIfEnabled(ui_.refreshButton); });
    connect(&keepAlive_, &QTimer::timeout, this, [this] { run(&FtpSession::keepAlive); });
    connect(ui_.driveList, &DriveList::driveChanged, ui_.folderList, &FolderList::setPath);
    connect(ui_.folderList, &FolderList::pathChanged, this, &FtpWindow::folderChanged);
    connect(ui_.fileList, &QListWidget::currentRowChanged, this, &FtpWindow::fileClicked);
}

int FtpWindow::exec()
{
    prepareOpening();
    return QDialog::exec();
}

void FtpWindow::prepareOpening()
{
    closePending_ = false;
    ui_.resetStartValues();
    session_.load();
    ui_.folderList->setPath(programFolder_ + QStringLiteral("/doorpages/"));
    showDisclaimer();
    setDisconnectedState();
    fileClicked();
}

void FtpWindow::showDisclaimer()
{
    boxes_.message(QStringLiteral("Haftungsausschluss"),
                   QStringLiteral("Mit Nutzung des FTP-Programmteils wird der Autor des "
                                  "Programms von jeglicher Haftung für alle Schäden, "
                                  "Kopierfehler, Datenverlust auf dem Server etc. "
                                  "uneingeschränkt, d.h. unabhängig, ob Vorsatz oder "
                                  "Fahrlässigkeit, befreit."),
                   MessageBoxes::Icon::Exclamation);
}

void FtpWindow::done(int result)
{
    if (session_.running()) {
        closePending_ = true;
        session_.requestStop();
        return;
    }
    closePending_ = false;
    keepAlive_.stop();
    session_.unload();
    removeViewerFolder();
    QDialog::done(result);
}

void FtpWindow::keyPressEvent(QKeyEvent* event)
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

bool FtpWindow::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == ui_.remoteList && event->type() == QEvent::KeyPress) {
        const auto* key = static_cast<QKeyEvent*>(event);
        const bool enter = key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter;
        if (enter && (key->modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier) {
            run(&FtpSession::serverLineDoubleClicked);
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

void FtpWindow::folderChanged()
{
    ui_.fileList->setPath(ui_.folderList->path());
    fileClicked();
}

void FtpWindow::fileClicked()
{
    ui_.localPathLabel->setText(ui_.fileList->path() + QLatin1Char('/') + ui_.fileList->fileName());
}

std::string FtpWindow::serverText() const
{
    return RemoteText::typed(ui_.serverEdit->text());
}

std::string FtpWindow::userText() const
{
    return RemoteText::typed(ui_.userEdit->text());
}

std::string FtpWindow::passwordText() const
{
    return RemoteText::typed(ui_.passwordEdit->text());
}

std::string FtpWindow::filterText() const
{
    return RemoteText::typed(ui_.filterEdit->text());
}

bool FtpWindow::passiveChecked() const
{
    return ui_.passiveCheck->checkState() != Qt::Unchecked;
}

void FtpWindow::setStatus(const std::string& text)
{
    const QString shown = RemoteText::display(text);
    if (shown == ui_.statusLabel->text())
        return;
    ui_.statusLabel->setText(shown);
    // Named "Status", the label gives its text to screen readers as its description.
    ui_.statusLabel->setAccessibleDescription(shown);
    ui_.statusLabel->repaint();
}

void FtpWindow::setSecurity(const std::string& text)
{
    ui_.securityLabel->setText(RemoteText::display(text));
    ui_.securityLabel->setAccessibleDescription(ui_.securityLabel->text());
}

void FtpWindow::setLocation(const std::string& text)
{
    ui_.remoteFolderLabel->setText(RemoteText::display(text));
}

void FtpWindow::setServerLines(const std::vector<std::string>& lines)
{
    QStringList texts;
    texts.reserve(static_cast<qsizetype>(lines.size()));
    for (const std::string& line : lines)
        texts.append(QString::fromStdString(line));
    ui_.remoteList->clear();
    ui_.remoteList->addItems(texts);
}

int FtpWindow::currentServerLine() const
{
    return ui_.remoteList->currentRow();
}

std::vector<int> FtpWindow::selectedServerLines() const
{
    std::vector<int> rows;
    for (int row = 0; row < ui_.remoteList->count(); ++row) {
        if (ui_.remoteList->item(row)->isSelected())
            rows.push_back(row);
    }
    return rows;
}

void FtpWindow::setDetails(const std::string& changed, const std::string& size,
                           const std::string& attributes)
{
    for (const auto& [label, text] :
         {std::pair{ui_.changedValue, &changed}, std::pair{ui_.sizeValue, &size},
          std::pair{ui_.attributesValue, &attributes}}) {
        label->setText(RemoteText::display(*text));
        // The accessible name is the caption; a screen reader reads the value from here.
        label->setAccessibleDescription(label->text());
    }
}

void FtpWindow::setConnectedState()
{
    ui_.setConnected(true);
    keepAlive_.start();
}

void FtpWindow::setDisconnectedState()
{
    ui_.setConnected(false);
    keepAlive_.stop();
}

void FtpWindow::showMessage(const std::string& text)
{
    boxes_.message(QString(), RemoteText::display(text), MessageBoxes::Icon::None);
}

std::optional<std::string> FtpWindow::askInput(const std::string& title, const std::string& prompt,
                                               const std::string& preset)
{
    const std::optional<QString> answer = boxes_.input(
        RemoteText::display(title), RemoteText::display(prompt), RemoteText::display(preset));
    if (!answer)
        return std::nullopt;
    return RemoteText::typed(*answer);
}

void FtpWindow::setBusy(bool busy)
{
    if (busy) {
        ++busyDepth_;
        QApplication::setOverrideCursor(Qt::WaitCursor);
    } else if (busyDepth_ > 0) {
        --busyDepth_;
        QApplication::restoreOverrideCursor();
    }
}

void FtpWindow::processEvents()
{
    QCoreApplication::processEvents();
}

// The window's event loop runs on while the call runs on a thread of its own, so the window
// repaints and DISCONNECT and EXIT can cancel; the session turns away every other handler, and
// their buttons show disabled meanwhile. DISCONNECT is enabled meanwhile also when not connected
// yet, to cancel a connect attempt.
void FtpWindow::runCall(const std::function<void()>& call)
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
    QTimer holdLater;
    holdLater.setSingleShot(true);
    connect(&holdLater, &QTimer::timeout, this, [this] { holdButtons(); });
    if (quietCall_)
        holdLater.start(quietCallMilliseconds);
    else
        holdButtons();
    worker->start();
    loop.exec();
    worker->wait();
    holdLater.stop();
    if (handlerDepth_ == 0 && buttonsHeld_)
        releaseButtons();
    if (failure)
        std::rethrow_exception(failure);
}

void FtpWindow::showProgress(std::size_t done, std::size_t total)
{
    filesDone_ = done;
    filesTotal_ = total;
    updateProgressBar();
}

void FtpWindow::showFileProgress(std::uint64_t done, std::uint64_t total)
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

void FtpWindow::showRunProgress(std::size_t filesDone, std::size_t filesTotal,
                                std::uint64_t bytesDone, std::uint64_t bytesTotal)
{
    {
        const std::lock_guard lock(runMutex_);
        pendingRun_ = {filesDone, filesTotal, bytesDone, bytesTotal};
    }
    if (QThread::currentThread() == thread()) {
        takeRunProgress();
        return;
    }
    if (!runPosted_.exchange(true)) {
        auto take = [this] { takeRunProgress(); };
        QMetaObject::invokeMethod(this, std::move(take), Qt::QueuedConnection);
    }
}

void FtpWindow::showRunStatus(const std::string& text)
{
    {
        const std::lock_guard lock(runMutex_);
        pendingRunStatus_ = text;
    }
    if (QThread::currentThread() == thread()) {
        takeRunStatus();
        return;
    }
    if (!runStatusPosted_.exchange(true)) {
        auto take = [this] { takeRunStatus(); };
        QMetaObject::invokeMethod(this, std::move(take), Qt::QueuedConnection);
    }
}

// After the run the text waiting is empty, so a late update leaves the final status alone.
void FtpWindow::takeRunStatus()
{
    runStatusPosted_ = false;
    std::string text;
    {
        const std::lock_guard lock(runMutex_);
        text = pendingRunStatus_;
    }
    if (!text.empty())
        setStatus(text);
}

// A late update of a run that has ended finds the zeros of its end and keeps the bar hidden.
void FtpWindow::takeRunProgress()
{
    runPosted_ = false;
    RunFigures figures;
    {
        const std::lock_guard lock(runMutex_);
        figures = pendingRun_;
    }
    filesDone_ = figures.filesDone;
    filesTotal_ = figures.filesTotal;
    bytesDone_ = figures.bytesDone;
    bytesTotal_ = figures.bytesTotal;
    runBytes_ = figures.filesTotal > 0 || figures.bytesTotal > 0;
    updateProgressBar();
}

void FtpWindow::takeFileProgress()
{
    progressPosted_ = false;
    bytesDone_ = pendingBytesDone_;
    bytesTotal_ = pendingBytesTotal_;
    updateProgressBar();
}

// One bar for both: whole files done plus the part of the current one, in thousandths of a
// file; the text gives the files and the kilobytes of the current file.
void FtpWindow::updateProgressBar()
{
    QProgressBar& bar = *ui_.progressBar;
    const bool bytesKnown = bytesTotal_ > 0;
    const bool shown = filesTotal_ > 0 || bytesKnown;
    bar.setVisible(shown);
    if (!shown)
        return;
    const std::size_t files = std::max<std::size_t>(filesTotal_, 1);
    const std::uint64_t part =
        bytesKnown ? std::min<std::uint64_t>(bytesDone_ * 1000 / bytesTotal_, 1000) : 0;
    bar.setRange(0, static_cast<int>(std::min<std::size_t>(files, 1000000) * 1000));
    std::uint64_t value = filesDone_ * 1000 + part;
    // Files of a run over several connections end in any order; the bytes of the whole run move
    // the bar evenly.
    if (runBytes_) {
        value = bytesKnown
                    ? static_cast<std::uint64_t>(static_cast<double>(bytesDone_) /
                                                 static_cast<double>(bytesTotal_) * bar.maximum())
                    : filesDone_ * 1000;
    }
    bar.setValue(static_cast<int>(
        std::min<std::uint64_t>(value, static_cast<std::uint64_t>(bar.maximum()))));
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

std::string FtpWindow::localFolder() const
{
    return LocalPath::fromQt(ui_.fileList->path());
}

std::size_t FtpWindow::localFileCount() const
{
    return static_cast<std::size_t>(ui_.fileList->count());
}

std::vector<std::string> FtpWindow::selectedLocalFiles() const
{
    std::vector<std::string> names;
    for (const QString& name : ui_.fileList->selectedFileNames())
        names.push_back(LocalPath::fromQt(name));
    return names;
}

void FtpWindow::refreshLocalFiles()
{
    ui_.fileList->refresh();
}

// Nothing a server sends is handed to the desktop: files are shown in the program's own
// viewer only.
std::string FtpWindow::viewerFolder()
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

void FtpWindow::removeViewerFolder()
{
    viewerFolder_.reset();
}

void FtpWindow::openViewer(const std::string& path, const std::string& title)
{
    auto* viewer = new TextViewer(path, RemoteText::display(title), this);
    viewer->show();
}

} // namespace vantiro

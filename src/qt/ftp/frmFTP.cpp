#include "qt/ftp/frmFTP.h"

#include "qt/ftp/DriveList.h"
#include "qt/ftp/FileList.h"
#include "qt/ftp/FolderList.h"
#include "qt/ftp/RemoteText.h"
#include "qt/platform/LocalPath.h"
#include "qt/platform/MessageBoxes.h"
#include "qt/platform/Shell.h"

#include <QApplication>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>

namespace vantiro {

frmFTP::frmFTP(MessageBoxes& boxes, Shell& shell, FtpClientFactory factory, QString programFolder,
               QWidget* parent)
    : QDialog(parent), boxes_(boxes), shell_(shell), programFolder_(std::move(programFolder)),
      ui_(*this), session_(*this, std::move(factory), LocalPath::fromQt(programFolder_))
{
    setObjectName(QStringLiteral("frmFTP"));
    setModal(true);
    resize(1000, 640);
    connectHandlers();
}

frmFTP::~frmFTP()
{
    session_.Unload();
    while (busyDepth_ > 0)
        setBusy(false);
}

template <typename Handler> void frmFTP::onClick(QAbstractButton* button, Handler handler)
{
    connect(button, &QAbstractButton::clicked, this, [this, handler] {
        (session_.*handler)();
        if (closePending_ && !session_.TransferRunning())
            done(QDialog::Rejected);
    });
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
            [this] { session_.ServerLineDoubleClicked(); });
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
    if (session_.TransferRunning()) {
        closePending_ = true;
        session_.RequestStop();
        return;
    }
    closePending_ = false;
    session_.Unload();
    QDialog::done(result);
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
    ui_.lstServer->clear();
    for (const std::string& line : lines)
        ui_.lstServer->addItem(RemoteText::display(line));
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
}

void frmFTP::SetDisconnectedState()
{
    ui_.setConnected(false);
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

void frmFTP::showProgress(std::size_t done, std::size_t total)
{
    ui_.prgTransfer->setVisible(total > 0);
    ui_.prgTransfer->setRange(0, static_cast<int>(total));
    ui_.prgTransfer->setValue(static_cast<int>(done));
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

void frmFTP::openViewer(const std::string& path)
{
    shell_.open(LocalPath::toQt(path));
}

} // namespace vantiro

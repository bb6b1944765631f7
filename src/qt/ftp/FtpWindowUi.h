#pragma once

class QCheckBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QProgressBar;
class QPushButton;
class QRadioButton;
class QWidget;

namespace vantiro {

class DriveList;
class FileList;
class FolderList;

// The controls of the FTP window and their layout: connection fields and entry details on
// top, the remote folder on the left, the local panes on the right, the transfer buttons
// between them. Every control carries its name as objectName.
class FtpWindowUi final {
public:
    explicit FtpWindowUi(QWidget& window);

    // Texts, lists and choices as a fresh window shows them.
    void resetStartValues();
    void setConnected(bool connected);

    QGroupBox* Frame3;
    QLabel* Label1;
    QLabel* Label2;
    QLabel* Label3;
    QLineEdit* txtServername;
    QLineEdit* txtUsername;
    QLineEdit* txtPassword;
    QLabel* Label6;
    QLabel* Label5;
    QLabel* Label4;
    QLabel* lblVeraenderung;
    QLabel* lblGroesse;
    QLabel* lblAttribute;
    QPushButton* cmdConnect;
    QPushButton* cmdDisconnect;
    QRadioButton* optAscii;
    QRadioButton* optBinaer;
    QCheckBox* chkPassiv;

    QGroupBox* Frame1;
    QLabel* lblFTP;
    QListWidget* lstServer;
    QLineEdit* txtFilter;
    QPushButton* cmdRefresh;
    QPushButton* cmdOpen;
    QPushButton* cmdDelete;
    QPushButton* cmdRename;
    QPushButton* cmdMakeDir;

    QPushButton* cmdUpload;
    QPushButton* cmdDownload;

    QGroupBox* Frame2;
    DriveList* DriveLokal;
    FolderList* DirLokal;
    FileList* fileListLokal;
    QLabel* lblLokal;

    QLabel* lblStatus;
    QProgressBar* prgTransfer;
    QPushButton* cmdExit;

private:
    void createConnectionFrame(QWidget& window);
    void createRemoteFrame(QWidget& window);
    void createLocalFrame(QWidget& window);
    void createBottomRow(QWidget& window);
    void layOut(QWidget& window);
};

} // namespace vantiro

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
    // While a call runs only DISCONNECT and EXIT act; the other buttons show it.
    void setCallRunning();

    QGroupBox* connectionGroup;
    QLabel* serverLabel;
    QLabel* userLabel;
    QLabel* passwordLabel;
    QLineEdit* serverEdit;
    QLineEdit* userEdit;
    QLineEdit* passwordEdit;
    QLabel* changedLabel;
    QLabel* sizeLabel;
    QLabel* attributesLabel;
    QLabel* changedValue;
    QLabel* sizeValue;
    QLabel* attributesValue;
    QPushButton* connectButton;
    QPushButton* disconnectButton;
    QRadioButton* asciiOption;
    QRadioButton* binaryOption;
    QCheckBox* passiveCheck;

    QGroupBox* remoteGroup;
    QLabel* remoteFolderLabel;
    QListWidget* remoteList;
    QLineEdit* filterEdit;
    QPushButton* refreshButton;
    QPushButton* showButton;
    QPushButton* deleteButton;
    QPushButton* renameButton;
    QPushButton* makeFolderButton;

    QPushButton* uploadButton;
    QPushButton* downloadButton;

    QGroupBox* localGroup;
    DriveList* driveList;
    FolderList* folderList;
    FileList* fileList;
    QLabel* localPathLabel;

    QLabel* statusLabel;
    QLabel* securityLabel;
    QProgressBar* progressBar;
    QPushButton* exitButton;

private:
    void createConnectionFrame(QWidget& window);
    void createRemoteFrame(QWidget& window);
    void createLocalFrame(QWidget& window);
    void createBottomRow(QWidget& window);
    void layOut(QWidget& window);
};

} // namespace vantiro

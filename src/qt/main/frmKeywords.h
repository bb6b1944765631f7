#pragma once

#include <QDialog>

#include <string>

class QLabel;
class QLineEdit;
class QPushButton;

namespace vantiro {

class MessageBoxes;

// "Keyworddatei anlegen": the user types keywords as one comma-separated line; OK writes them
// as a new keyword file and closes, Abbrechen closes without writing.
class frmKeywords final : public QDialog {
    Q_OBJECT

public:
    frmKeywords(MessageBoxes& boxes, std::string programFolder, QWidget* parent = nullptr);

    // The file OK wrote; empty until then.
    const QString& writtenFile() const { return writtenFile_; }

private:
    void cmdOK_Click();

    MessageBoxes& boxes_;
    std::string programFolder_;
    QString writtenFile_;
    QLabel* Label1;
    QLineEdit* txtKeywords;
    QPushButton* cmdOK;
    QPushButton* cmdAbbrechen;
};

} // namespace vantiro

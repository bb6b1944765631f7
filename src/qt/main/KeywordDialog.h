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
class KeywordDialog final : public QDialog {
    Q_OBJECT

public:
    KeywordDialog(MessageBoxes& boxes, std::string programFolder, QWidget* parent = nullptr);

    // The file OK wrote; empty until then.
    const QString& writtenFile() const { return writtenFile_; }

private:
    void acceptKeywords();

    MessageBoxes& boxes_;
    std::string programFolder_;
    QString writtenFile_;
    QLabel* promptLabel;
    QLineEdit* keywordsEdit;
    QPushButton* okButton;
    QPushButton* cancelButton;
};

} // namespace vantiro

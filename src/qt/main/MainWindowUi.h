#pragma once

#include "core/session/PageSettings.h"

class QButtonGroup;
class QCheckBox;
class QComboBox;
class QFrame;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QRadioButton;
class QWidget;

namespace vantiro {

// The controls of the main window, laid out in its eight regions, and the copying of their
// values to and from PageSettings. Every control carries its name as objectName.
class MainWindowUi final {
public:
    explicit MainWindowUi(QWidget& window);

    // The control values over the window-level variables of `base`.
    PageSettings read(PageSettings base) const;
    // Shows the values; a control whose value is unchanged is not touched, so an unchanged
    // text keeps its cursor and undo history.
    void write(const PageSettings& settings);

    QGroupBox* headGroup;
    QLabel* doctypeLabel;
    QComboBox* doctypeBox;
    QLabel* titleLabel;
    QLineEdit* titleEdit;
    QLabel* titleEndLabel;
    QLabel* robotsLabel;
    QComboBox* robotsBox;
    QLabel* descriptionLabel;
    QLineEdit* descriptionEdit;
    QLabel* authorLabel;
    QLineEdit* authorEdit;
    QLabel* pragmaLabel;
    QComboBox* pragmaBox;
    QLabel* revisitLabel;
    QComboBox* revisitBox;
    QLabel* revisitUnitLabel;
    QLabel* cachingLabel;
    QComboBox* cachingBox;

    QGroupBox* scriptingGroup;
    QPlainTextEdit* scriptingEdit;

    QLabel* creditLabel;
    QLabel* keywordFileLabel;
    QLineEdit* keywordFileEdit;
    QPushButton* loadKeywordsButton;
    QPushButton* createKeywordsButton;

    QGroupBox* bodyGroup;
    QPlainTextEdit* bodyEdit;

    QPushButton* backgroundColorButton;
    QPushButton* fontButton;
    QPushButton* textColorButton;
    QPushButton* linkColorButton;
    QPushButton* sampleCodeButton;
    QLabel* styleWarningLabel;
    QLabel* helpHintLabel;

    QGroupBox* outputGroup;
    QRadioButton* keywordNamesOption;
    QRadioButton* numberedNamesOption;
    QButtonGroup* namingGroup;
    QLabel* numberedHintLabel;
    QCheckBox* imageLinksCheck;
    QLabel* pageCountLabel;
    QLineEdit* pageCountEdit;

    QGroupBox* uploadGroup;
    QLabel* uploadHintLabel;
    QPushButton* uploadButton;

    QPushButton* generateButton;
    QPushButton* previewButton;
    QPushButton* loadTemplateButton;
    QPushButton* saveTemplateButton;
    QFrame* separatorLine;
    QPushButton* resetButton;
    QPushButton* quitButton;

private:
    void createControls(QWidget& window);
    void layOut(QWidget& window);
    void setUpKeyboard();
};

} // namespace vantiro

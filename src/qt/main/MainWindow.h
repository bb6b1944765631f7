#pragma once

#include "core/session/PageSettings.h"
#include "platform/ProgramFolder.h"

#include <QWidget>

#include <memory>

namespace vantiro {

class FileDialogs;
class MainWindowUi;
class MessageBoxes;
class Random;
class Shell;
class StyleDialogs;
enum class BodyColor;
enum class FocusTarget;

// What the main window reaches beyond its own controls.
struct WindowServices {
    MessageBoxes& boxes;
    Shell& shell;
    FileDialogs& files;
    StyleDialogs& styles;
    Random& random;
};

// The main window: every input of a generation run and the buttons around it. Handlers gather
// the window's state, hand it to plain logic and show the result.
class MainWindow final : public QWidget {
    Q_OBJECT

public:
    MainWindow(ProgramPaths paths, WindowServices services, QWidget* parent = nullptr);
    ~MainWindow() override;

    // The controls' values together with the window-level variables.
    PageSettings settings() const;
    void applySettings(const PageSettings& settings);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void connectButtons();
    void generatePages();
    void showPreview();
    void openHelp();
    bool creditLineEvent(QEvent* event);
    void openHomePage();
    void openOrExplain(const QString& target, const QString& what);
    void saveTemplate();
    void loadTemplate();
    void resetWindow();
    void chooseKeywordFile();
    void createKeywordFile();
    void chooseColor(BodyColor which);
    void chooseFont();
    void insertSampleTemplate();
    void openUploadWindow();
    QWidget* focusWidget(FocusTarget target) const;

    ProgramPaths paths_;
    WindowServices services_;
    std::unique_ptr<MainWindowUi> ui_;
    PageSettings state_;
};

} // namespace vantiro

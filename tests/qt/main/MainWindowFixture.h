#pragma once

#include "core/generator/Random.h"
#include "core/session/PageSettings.h"
#include "qt/main/MainWindow.h"
#include "support/FakeFileDialogs.h"
#include "support/FakeMessageBoxes.h"
#include "support/FakeShell.h"
#include "support/FakeStyleDialogs.h"
#include "support/QtTestApplication.h"
#include "support/TempDir.h"

#include <QAbstractButton>
#include <QTest>

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>

namespace vantiro::test {

// A main window over a temporary program folder, with every dialog and box answered by fakes.
// The window is made on first use, so a test can prepare the folder before.
class MainWindowFixture : public ::testing::Test {
protected:
    MainWindowFixture() { qtTestApplication(); }

    MainWindow& window()
    {
        if (!window_)
            window_ = std::make_unique<MainWindow>(
                ProgramPaths{folder.path(), {executableFolder.toStdString()}},
                WindowServices{boxes, shell, files, styles, random});
        return *window_;
    }

    template <typename Widget> Widget* control(const char* name)
    {
        auto* found = window().findChild<Widget*>(QString::fromLatin1(name));
        if (!found)
            ADD_FAILURE() << "no control " << name;
        return found;
    }

    void click(const char* name)
    {
        QTest::mouseClick(control<QAbstractButton>(name), Qt::LeftButton);
    }

    PageSettings settings() { return window().settings(); }

    template <typename Edit> void change(Edit edit)
    {
        PageSettings changed = settings();
        edit(changed);
        window().applySettings(changed);
    }

    // Shows the window and gives it the focus, for tests that look at the focused control.
    void showActive()
    {
        window().show();
        window().activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&window()));
    }

    // Writes a file below the program folder, making its folders first.
    void put(const std::string& relative, const std::string& content)
    {
        std::filesystem::create_directories(std::filesystem::path(path(relative)).parent_path());
        writeFile(path(relative), content);
    }

    QString programFolder() const { return QString::fromStdString(folder.path()); }
    std::string path(const std::string& relative) const { return folder.file(relative); }
    QString qpath(const std::string& relative) const
    {
        return QString::fromStdString(folder.file(relative));
    }

    TempDir folder;
    TempDir shipped; // the executable's folder, separate so that lookups there are visible
    QString executableFolder = QString::fromStdString(shipped.path());
    FakeMessageBoxes boxes;
    FakeShell shell;
    FakeFileDialogs files;
    FakeStyleDialogs styles;
    Random random{7};

private:
    std::unique_ptr<MainWindow> window_;
};

} // namespace vantiro::test

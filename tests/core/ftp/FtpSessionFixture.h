#pragma once

#include "FakeFtpServer.h"
#include "FakeFtpView.h"
#include "core/ftp/FtpSession.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <functional>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

namespace vantiro::test {

inline constexpr std::uint32_t folder = FtpEntry::directoryAttribute;
inline constexpr std::uint32_t file = FtpEntry::normalAttribute;
inline const std::string noLine = "Keine Datei ausgew\xE4hlt!";
inline const std::string downloadFailed = "\xDC"
                                          "bertragungsfehler";

class FtpSessionTest : public ::testing::Test {
protected:
    FtpSessionTest()
    {
        view.folder = local.path();
        view.copyFolder = copies.path();
        // These tests follow the commands of one connection in order; runs on several
        // connections have tests of their own.
        session.setConnections(1);
        session.setPause([this](std::chrono::milliseconds time) {
            paused += time;
            if (onPause)
                onPause();
        });
        session.load();
    }

    void TearDown() override { EXPECT_EQ(view.busyDepth, 0) << "busy pointer left on"; }

    void connect()
    {
        session.connect();
        ASSERT_TRUE(session.connected());
        server->calls.clear();
        view.statuses.clear();
    }

    std::vector<std::string> callsStartingWith(const std::string& prefix) const
    {
        std::vector<std::string> result;
        std::copy_if(server->calls.begin(), server->calls.end(), std::back_inserter(result),
                     [&](const std::string& call) { return call.starts_with(prefix); });
        return result;
    }

    // The pauses before a new login, added up, and what happens while the session waits.
    std::chrono::milliseconds paused{0};
    std::function<void()> onPause;
    test::TempDir local;
    test::TempDir copies;
    std::shared_ptr<FakeFtpServer> server = std::make_shared<FakeFtpServer>();
    FakeFtpView view;
    bool factoryFails = false;
    FtpSession session{view, [this]() -> std::unique_ptr<FtpClient> {
                           if (factoryFails)
                               return nullptr;
                           return std::make_unique<FakeFtpClient>(server);
                       }};
};

} // namespace vantiro::test

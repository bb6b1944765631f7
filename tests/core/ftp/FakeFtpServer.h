#pragma once

#include "core/ftp/FtpClient.h"

#include <atomic>
#include <fstream>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <set>
#include <string>
#include <utility>
#include <vector>

namespace vantiro::test {

// The server side of FakeFtpClient: folders with their entries, the calls it received, and
// switches for refusals and a dropped connection. Shared by every client of one test, so it
// also counts how often connections were closed and clients destroyed.
struct FakeFtpServer {
    // The connections of a run on several connections call in from threads of their own; every
    // call of a client holds this, also while onCall runs.
    std::recursive_mutex mutex;
    std::map<std::string, std::vector<FtpEntry>> folders{{"/", {}}};
    std::map<std::string, std::string> fileContents;
    std::vector<std::string> calls;
    std::set<std::string> refusedNames;
    bool loginAccepted = true;
    std::atomic<bool> dropped{false};
    FtpResponse droppedResponse{12030, "Verbindung abgebrochen"};
    // How many further calls still succeed before the connection drops (negative: never).
    int dropAfterCalls = -1;
    // Runs inside every call, e.g. to act on the window while a transfer is under way.
    std::function<void(const std::string& call)> onCall;
    FtpResponse response{0, "200 Alles gut"};
    FtpResponse failureResponse{550, "550 Nicht erlaubt"};
    // Handed out by the next takeNotices().
    std::vector<std::string> notices;
    // Bytes a transfer reports through the progress callback.
    std::uint64_t transferSize = 3;
    // Like a server whose 150 reply names no size: the progress gives a total of 0.
    bool sizeUnknown = false;

    int clientsCreated = 0;
    int clientsDestroyed = 0;
    int closes = 0;
    std::atomic<int> cancels{0};
    std::string lastPassword;
    bool lastPassive = false;

    void add(const std::string& folder, const std::string& name, std::uint32_t attributes,
             std::uint64_t size = 0)
    {
        FtpEntry entry;
        entry.name = name;
        entry.attributes = attributes;
        entry.size = size;
        entry.lastWrite = {2002, 9, 2, 1, 14, 5, 59};
        folders[folder].push_back(entry);
        if (attributes == FtpEntry::directoryAttribute)
            folders.try_emplace(folder + (folder == "/" ? "" : "/") + name);
    }
};

class FakeFtpClient final : public FtpClient {
public:
    explicit FakeFtpClient(std::shared_ptr<FakeFtpServer> server) : server_(std::move(server))
    {
        ++server_->clientsCreated;
    }
    ~FakeFtpClient() override { ++server_->clientsDestroyed; }
    FakeFtpClient(const FakeFtpClient&) = delete;
    FakeFtpClient& operator=(const FakeFtpClient&) = delete;

    bool connect(const std::string& server, const std::string& user, const std::string& password,
                 bool passive) override
    {
        const std::lock_guard lock(server_->mutex);
        server_->lastPassword = password;
        server_->lastPassive = passive;
        cancelled_ = false;
        connected_ = server_->loginAccepted && !server.empty();
        return record("connect " + server + " " + user, connected_);
    }
    void close() override
    {
        const std::lock_guard lock(server_->mutex);
        ++server_->closes;
        connected_ = false;
        server_->calls.push_back("close");
    }
    bool connected() const override { return connected_ && !server_->dropped; }

    bool setCurrentDirectory(const std::string& path) override
    {
        const std::lock_guard lock(server_->mutex);
        const std::string folder = normalise(path);
        const bool ok = server_->folders.contains(folder);
        if (ok)
            current_ = folder;
        return record("cwd " + path, ok);
    }
    bool findFiles(const std::string& pattern, std::vector<FtpEntry>& entries) override
    {
        const std::lock_guard lock(server_->mutex);
        entries = server_->folders[current_];
        return record("find " + pattern, true);
    }
    bool getFile(const std::string& remoteName, const std::string& localPath, bool failIfExists,
                 TransferType type) override
    {
        const std::lock_guard lock(server_->mutex);
        const std::string call = "get " + remoteName + " " + typeName(type);
        if (!failIfExists || std::ifstream(localPath).good())
            return record(call, false);
        const std::string name = place(remoteName).second;
        if (!record(call, !server_->refusedNames.contains(name)))
            return false;
        std::ofstream(localPath) << server_->fileContents[name];
        reportProgress();
        return true;
    }
    bool putFile(const std::string& localPath, const std::string& remoteName,
                 TransferType type) override
    {
        const std::lock_guard lock(server_->mutex);
        const auto [folder, name] = place(remoteName);
        const bool ok =
            record("put " + localPath + " > " + remoteName + " " + typeName(type),
                   !server_->refusedNames.contains(name) && server_->folders.contains(folder));
        if (ok) {
            server_->add(folder, name, FtpEntry::normalAttribute);
            reportProgress();
        }
        return ok;
    }
    bool deleteFile(const std::string& name) override { return simple("dele " + name, name); }
    bool removeDirectory(const std::string& name) override { return simple("rmd " + name, name); }
    bool createDirectory(const std::string& name) override
    {
        const std::lock_guard lock(server_->mutex);
        const bool ok = simple("mkd " + name, name);
        if (ok)
            server_->add(current_, name, FtpEntry::directoryAttribute);
        return ok;
    }
    bool renameFile(const std::string& from, const std::string& to) override
    {
        return simple("rename " + from + " > " + to, from);
    }

    FtpResponse lastResponse() const override { return last_; }

    // A request while no call runs applies to the next call, as in the real client. The window
    // asks from its own thread while a call runs on another, so only atomics are touched here.
    void cancel() override
    {
        ++server_->cancels;
        cancelled_ = true;
    }
    void setProgress(TransferProgress progress) override { progress_ = std::move(progress); }
    void keepAlive() override { record("noop", true); }
    std::vector<std::string> takeNotices() override { return std::exchange(server_->notices, {}); }

    std::string current() const { return current_; }

private:
    static std::string typeName(TransferType type)
    {
        return type == TransferType::Ascii ? "ascii" : "binary";
    }

    // "/a/b/.." and "/a/b/" both name "/a" and "/a/b"; the fake keeps folders without a
    // trailing slash, the top folder as "/".
    static std::string normalise(const std::string& path)
    {
        std::vector<std::string> parts;
        std::string part;
        for (const char c : path + "/") {
            if (c != '/') {
                part += c;
                continue;
            }
            if (part == "..") {
                if (!parts.empty())
                    parts.pop_back();
            } else if (!part.empty() && part != ".") {
                parts.push_back(part);
            }
            part.clear();
        }
        std::string folder;
        for (const std::string& p : parts)
            folder += "/" + p;
        return folder.empty() ? "/" : folder;
    }

    bool simple(const std::string& call, const std::string& name)
    {
        return record(call, !server_->refusedNames.contains(name));
    }

    // The folder and the name a remote path names: a bare name is in the current folder, a full
    // path in its own.
    std::pair<std::string, std::string> place(const std::string& remoteName) const
    {
        if (!remoteName.starts_with('/'))
            return {current_, remoteName};
        const std::size_t slash = remoteName.rfind('/');
        return {normalise(remoteName.substr(0, slash + 1)), remoteName.substr(slash + 1)};
    }

    bool record(const std::string& call, bool ok)
    {
        const std::lock_guard lock(server_->mutex);
        server_->calls.push_back(call);
        if (server_->onCall)
            server_->onCall(call);
        if (cancelled_.exchange(false)) {
            last_ = {cancelledCode, "Abgebrochen"};
            return false;
        }
        if (server_->dropAfterCalls == 0)
            server_->dropped = true;
        if (server_->dropAfterCalls >= 0)
            --server_->dropAfterCalls;
        if (server_->dropped) {
            last_ = server_->droppedResponse;
            return false;
        }
        last_ = ok ? server_->response : server_->failureResponse;
        return ok;
    }

    void reportProgress()
    {
        if (progress_)
            progress_(server_->transferSize, server_->sizeUnknown ? 0 : server_->transferSize);
    }

    std::shared_ptr<FakeFtpServer> server_;
    TransferProgress progress_;
    std::atomic<bool> cancelled_{false};
    bool connected_ = false;
    std::string current_ = "/";
    FtpResponse last_;
};

} // namespace vantiro::test

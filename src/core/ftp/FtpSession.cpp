#include "core/ftp/FtpSession.h"

#include "core/ftp/BusyPointer.h"
#include "core/ftp/ReconnectSchedule.h"
#include "core/ftp/RemoteName.h"
#include "core/ftp/ResponseText.h"
#include "core/ftp/TransferLoop.h"
#include "core/text/Cp1252Literal.h"
#include "core/text/TextCleaning.h"

#include <algorithm>
#include <filesystem>
#include <thread>
#include <utility>

namespace vantiro {
namespace {

const std::string noLineMessage = "Keine Datei ausgewählt!"_cp1252;
const std::string downloadFailedMessage = "Übertragungsfehler"_cp1252;

bool isRegularFile(const std::string& path)
{
    std::error_code error;
    return std::filesystem::is_regular_file(path, error);
}

// One folder up from a location that ends in "/..": the three characters go, and the text is
// cut after the last "/" that remains.
std::string parentLocation(const std::string& target)
{
    const std::string shortened = target.substr(0, target.size() - 3);
    const std::size_t slash = shortened.rfind('/');
    return slash == std::string::npos ? shortened : shortened.substr(0, slash + 1);
}

} // namespace

FtpSession::FtpSession(FtpView& view, FtpClientFactory factory)
    : view_(view), factory_(std::move(factory)),
      pause_([](std::chrono::milliseconds time) { std::this_thread::sleep_for(time); })
{
}

FtpSession::~FtpSession()
{
    closeHandles();
}

// A server that drops the connection turns every later call into a failure; the handler ends
// there and the window goes back to the disconnected state instead of showing messages that
// blame a folder or a file.
// A handler that waits in a message or input box lets timer events through too; the keep-alive
// must not run inside it and change the connection under its feet.
template <typename Handler> void FtpSession::guarded(Handler handler)
{
    if (running() || inHandler_)
        return;
    inHandler_ = true;
    stopRequested_ = false;
    listedSize_ = 0;
    status_.beginHandler();
    try {
        handler();
    } catch (const ConnectionLost&) {
        dropConnection();
    } catch (const Stopped&) {
        stopAndDisconnect();
    } catch (...) {
        inHandler_ = false;
        throw;
    }
    stopRequested_ = false;
    inHandler_ = false;
    status_.endHandler();
}

template <typename Call> bool FtpSession::blocking(Call call)
{
    bool ok = false;
    FtpClient& client = *client_;
    callRunning_ = true;
    try {
        view_.runCall([&ok, &client, &call] { ok = call(client); });
    } catch (...) {
        callRunning_ = false;
        throw;
    }
    callRunning_ = false;
    if (stopRequested_)
        throw Stopped{};
    return ok;
}

template <typename Call> bool FtpSession::step(const std::string& status, Call call)
{
    const BusyPointer busy(view_);
    status_.show(status_.runStatus().empty() ? status : status_.runStatus());
    return answered(blocking(std::move(call)));
}

void FtpSession::requestStop()
{
    if (!running())
        return;
    stopRequested_ = true;
    if (client_)
        client_->cancel();
    if (parallel_)
        parallel_->cancel();
}

void FtpSession::stopAndDisconnect()
{
    if (client_ && connected_)
        status_.show("Log off...");
    closeHandles();
    showDisconnected();
    status_.show("Abgebrochen - Verbindung getrennt");
}

void FtpSession::showDisconnected()
{
    view_.setDisconnectedState();
    view_.setServerLines({});
    view_.setDetails("", "", "");
    view_.setSecurity("");
    setLocationText("");
}

void FtpSession::keepAlive()
{
    guarded([this] {
        if (!connected_)
            return;
        // A connection the server has closed is not reported here: the next command logs in
        // again, and only when that fails does the user hear of it.
        blocking([](FtpClient& client) {
            client.keepAlive();
            return true;
        });
        takeNotices();
    });
}

void FtpSession::checkConnection() const
{
    if (connected_ && !client_->connected())
        throw ConnectionLost{};
}

void FtpSession::dropConnection()
{
    const FtpResponse response = client_->lastResponse();
    closeHandles();
    showDisconnected();
    status_.show(connectionLostText(response));
}

bool FtpSession::answered(bool ok)
{
    showServerResponse();
    checkConnection();
    return ok;
}

void FtpSession::showFolderOrTell(bool changed, const std::string& failure)
{
    if (changed)
        showFolder();
    else
        view_.showMessage(failure);
}

const FtpEntry* FtpSession::pickedEntry()
{
    const FtpEntry* entry = currentEntry();
    if (!entry)
        view_.showMessage(noLineMessage);
    return entry;
}

void FtpSession::closeHandles()
{
    if (connected_)
        client_->close();
    connected_ = false;
    client_.reset();
    std::fill(login_.password.begin(), login_.password.end(), '\0');
    login_ = Login{};
}

// One file of UP or DOWN: when the connection breaks or stalls under it, the session logs in
// again after a pause and sends the file again, up to ReconnectSchedule::attempts times. Only
// then does the file count as failed, and a connection still dead ends the run.
template <typename Transfer> bool FtpSession::withReconnect(Transfer transfer)
{
    // SHOW/OPEN fetches outside UP and DOWN, where DISCONNECT could not end a pause.
    if (!transferRunning_)
        return transfer();
    for (int attempt = 1;; ++attempt) {
        bool ok = false;
        bool broken = false;
        try {
            ok = transfer();
            broken = !ok && client_ &&
                     ReconnectSchedule::isConnectionFailure(client_->lastResponse().code);
        } catch (const ConnectionLost&) {
            broken = true;
        }
        if (!broken)
            return ok;
        if (attempt > ReconnectSchedule::attempts) {
            checkConnection();
            return false;
        }
        reconnectAfterPause(attempt);
    }
}

void FtpSession::reconnectAfterPause(int attempt)
{
    using std::chrono::milliseconds;
    const milliseconds pause =
        ReconnectSchedule::pauseBefore(attempt, ReconnectSchedule::randomJitter());
    status_.show(ReconnectSchedule::statusText(attempt, pause));
    constexpr milliseconds slice{100};
    for (milliseconds waited{0}; waited < pause; waited += slice) {
        view_.processEvents();
        if (stopRequested_)
            throw Stopped{};
        pause_(std::min(slice, pause - waited));
    }
    view_.processEvents();
    if (stopRequested_)
        throw Stopped{};
    const BusyPointer busy(view_);
    status_.show("Verbinde...");
    // A failed login shows at the next try of the file, which fails on the dead connection.
    blocking([login = login_](FtpClient& client) {
        return client.connect(login.server, login.user, login.password, login.passive);
    });
    takeNotices();
}

void FtpSession::setLocationText(std::string text)
{
    locationText_ = std::move(text);
    view_.setLocation(locationText_);
}

const FtpEntry* FtpSession::currentEntry() const
{
    const int line = view_.currentServerLine();
    if (line < 0 || static_cast<std::size_t>(line) >= listing_.entryCount())
        return nullptr;
    return &listing_.record(static_cast<std::size_t>(line));
}

void FtpSession::load()
{
    closeHandles();
    serverName_.clear();
    locationText_.clear();
    listing_.clear();
    selectTransferType(vantiro::TransferType::Ascii);
    view_.setDisconnectedState();
}

void FtpSession::unload()
{
    closeHandles();
}

void FtpSession::selectTransferType(vantiro::TransferType type)
{
    transferType_ = type;
}

void FtpSession::connect()
{
    guarded([this] {
        closeHandles();
        view_.setSecurity("");
        serverName_ = view_.serverText();
        const BusyPointer busy(view_);
        setLocationText(serverName_ + "/");
        status_.show("Verbinde...");
        client_ = factory_();
        if (client_) {
            client_->setProgress(fileProgressSink());
            login_ = Login{view_.serverText(), view_.userText(), view_.passwordText(),
                           view_.passiveChecked()};
            connected_ = blocking([login = login_](FtpClient& client) {
                return client.connect(login.server, login.user, login.password, login.passive);
            });
            showServerResponse();
            if (connected_) {
                showFolder();
                view_.setConnectedState();
                showServerResponse();
                return;
            }
            // A session without a login is of no further use.
            const FtpResponse response = client_->lastResponse();
            client_.reset();
            const std::string cause = connectFailureCause(response, serverName_);
            if (!cause.empty()) {
                status_.show("Fehler beim Verbindungsaufbau - " + cause);
                return;
            }
        }
        status_.show("Fehler beim Verbindungsaufbau");
    });
}

TransferProgress FtpSession::fileProgressSink()
{
    return [this](std::uint64_t done, std::uint64_t total) {
        // A server whose 150 reply names no size still listed one; the bar moves by that, and
        // never shows more done than the whole.
        const std::uint64_t listed = listedSize_;
        if (total == 0 && listed != 0)
            total = std::max(listed, done);
        view_.showFileProgress(done, total);
    };
}

void FtpSession::disconnect()
{
    if (running()) {
        requestStop();
        return;
    }
    guarded([this] {
        if (!connected_)
            return;
        status_.show("Log off...");
        // A server that does not answer the goodbye must not freeze the window either.
        connected_ = false;
        blocking([](FtpClient& client) {
            client.close();
            return true;
        });
        showServerResponse();
        client_.reset();
        showDisconnected();
    });
}

void FtpSession::showServerResponse()
{
    if (!client_)
        return;
    const FtpResponse response = client_->lastResponse();
    takeNotices();
    status_.show(response.code == 0 && !status_.runStatus().empty() ? status_.runStatus()
                                                                    : responseText(response));
}

void FtpSession::takeNotices()
{
    if (client_)
        status_.takeNotices(*client_);
}

// The location text is the server name followed by the remote path; the server name is the
// text of the server field at the last CONNECT, not what the field holds now, so that editing
// the field while connected cannot shift the path.
bool FtpSession::setRemotePath(const std::string& path)
{
    if (path.empty() || !connected_)
        return false;
    const std::string remotePath = path.substr(std::min(serverName_.size(), path.size()));
    const bool ok = step("Setze Pfad...", [&remotePath](FtpClient& client) {
        return client.setCurrentDirectory(remotePath);
    });
    if (!ok)
        view_.showMessage("Verzeichnis nicht vorhanden!");
    return ok;
}

void FtpSession::readRemoteDirectory(const std::string& location)
{
    listing_.clear();
    if (!setRemotePath(location))
        return;
    const BusyPointer busy(view_);
    status_.show("Lese Verzeichnis...");
    const std::string pattern = RemoteListing::searchPattern(view_.filterText());
    std::vector<FtpEntry> found;
    const bool ok = blocking([&](FtpClient& client) { return client.findFiles(pattern, found); });
    listing_.fill(std::move(found));
    answered(ok);
}

void FtpSession::sortListing()
{
    {
        const BusyPointer busy(view_);
        status_.show("Sortiere Verzeichnis...");
        listing_.sortListing();
        view_.setServerLines(listing_.displayLines());
        // No line is current in a new listing, so no entry's details are shown.
        view_.setDetails("", "", "");
    }
    if (listing_.leftOut() == 0)
        status_.show("Ok");
    else
        status_.show("Ok - Verzeichnis gekürzt: nur die ersten "_cp1252 +
                     std::to_string(RemoteListing::maxEntries) +
                     " Einträge werden gezeigt, "_cp1252 + std::to_string(listing_.leftOut()) +
                     " fehlen");
}

void FtpSession::showFolder()
{
    readRemoteDirectory(locationText_);
    sortListing();
}

void FtpSession::refresh()
{
    guarded([this] { showFolder(); });
}

void FtpSession::serverLineClicked()
{
    const FtpEntry* entry = currentEntry();
    if (!entry) {
        view_.setDetails("", "", "");
        return;
    }
    view_.setDetails(formatFileTime(entry->lastWrite), std::to_string(entry->size),
                     attributeLetters(entry->attributes));
}

void FtpSession::serverLineDoubleClicked()
{
    guarded([this] {
        const FtpEntry* entry = currentEntry();
        if (!entry || !RemoteListing::isFolder(*entry))
            return;
        const std::string name = entry->name;
        const BusyPointer busy(view_);
        if (name == ".")
            return;
        if (name == "..")
            goUp();
        else
            goDown(name);
    });
}

void FtpSession::goUp()
{
    if (locationText_ == serverName_ + "/")
        return;
    const std::string target = locationText_ + "..";
    readRemoteDirectory(target);
    sortListing();
    setLocationText(parentLocation(target));
}

void FtpSession::goDown(const std::string& name)
{
    setLocationText(locationText_ + name + "/");
    showFolder();
}

bool FtpSession::parallelRun(std::size_t files) const
{
    return connections_ > 1 && files > 1;
}

std::string FtpSession::remoteFolder() const
{
    return locationText_.substr(std::min(serverName_.size(), locationText_.size()));
}

// A further connection the server refuses leaves its share to the others, and one note says
// so. Everything of the view that is not thread-safe waits until all connections are done.
std::size_t FtpSession::runOnConnections(const std::vector<std::uint64_t>& sizes,
                                         const ParallelTransfer::Task& task)
{
    const std::size_t count = std::min(static_cast<std::size_t>(connections_), sizes.size());
    ParallelTransfer run(
        view_, sizes, count,
        [this](FtpClient& client) {
            return client.connect(login_.server, login_.user, login_.password, login_.passive);
        },
        pause_, stopRequested_, status_.runStatus());
    // However the run ends, DISCONNECT no longer reaches its connections and the window's own
    // reports its bytes to the window again, not to this run's counters.
    struct RunEnd {
        FtpSession& session;
        ~RunEnd()
        {
            session.parallel_ = nullptr;
            if (session.client_)
                session.client_->setProgress(session.fileProgressSink());
        }
    } runEnd{*this};
    for (std::size_t slot = 1; slot < count; ++slot) {
        if (std::unique_ptr<FtpClient> helper = factory_())
            run.addConnection(std::move(helper));
    }
    parallel_ = &run;

    run.showStart();
    const BusyPointer busy(view_);
    std::size_t succeeded = 0;
    blocking([&](FtpClient& main) {
        succeeded = run.run(main, task);
        return true;
    });
    run.rethrowFailure();
    // Only the window's own connection's notes matter: the others say the same.
    takeNotices();
    if (std::string note = run.refusalNote(); !note.empty())
        status_.addNotice(std::move(note));
    checkConnection();
    return succeeded;
}

bool FtpSession::downloadFile(const std::string& location, const FtpEntry& file,
                              const std::string& localFolder)
{
    // A name from the server never leads out of the local folder.
    if (!isSafeLocalName(file.name)) {
        view_.showMessage(downloadFailedMessage);
        return false;
    }
    return downloadTo(location, file, localFolder + "/" + file.name);
}

bool FtpSession::downloadTo(const std::string& location, const FtpEntry& file,
                            const std::string& localPath)
{
    const vantiro::TransferType type = transferType_;
    const std::string& name = file.name;
    // A handler that ends inside the call leaves the size to the next handler, which clears it.
    listedSize_ = file.size;
    bool folderMissing = false;
    const bool ok = withReconnect([&] {
        folderMissing = !setRemotePath(location);
        return !folderMissing && step("Lade Datei...", [&](FtpClient& client) {
            return client.getFile(name, localPath, true, type);
        });
    });
    listedSize_ = 0;
    if (!ok && !folderMissing)
        view_.showMessage(downloadFailedMessage);
    return ok;
}

void FtpSession::uploadFile(const std::string& localPath)
{
    const std::size_t slash = localPath.rfind('/');
    if (slash == std::string::npos)
        return;
    const std::string name = localPath.substr(slash + 1);
    const vantiro::TransferType type = transferType_;
    bool folderMissing = false;
    const bool ok = withReconnect([&] {
        folderMissing = !setRemotePath(locationText_);
        return !folderMissing && step("Übertrage Datei..."_cp1252, [&](FtpClient& client) {
            return client.putFile(localPath, name, type);
        });
    });
    if (!ok && !folderMissing)
        view_.showMessage("Übertragungsfehler!"_cp1252);
}

void FtpSession::uploadOnConnections(const std::string& localFolder,
                                     const std::vector<std::string>& names)
{
    std::vector<std::string> paths;
    std::vector<std::uint64_t> sizes;
    for (const std::string& name : names) {
        const std::string path = localFolder + "/" + name;
        std::error_code error;
        const std::uint64_t size = std::filesystem::file_size(path, error);
        if (isRegularFile(path) && !error) {
            paths.push_back(path);
            sizes.push_back(size);
        }
    }
    if (paths.empty())
        return;
    const std::string remote = remoteFolder();
    const vantiro::TransferType type = transferType_;
    TransferLoop loop(view_, status_, transferRunning_, stopRequested_, paths.size(),
                      "Übertrage"_cp1252);
    loop.beginRun(std::min(static_cast<std::size_t>(connections_), paths.size()));
    // Every file by its full path: no connection changes folders for it.
    const std::size_t sent = runOnConnections(sizes, [&](FtpClient& client, std::size_t index) {
        const std::string& path = paths[index];
        return client.putFile(path, remote + path.substr(path.rfind('/') + 1), type);
    });
    if (sent < paths.size())
        view_.showMessage("Übertragungsfehler!"_cp1252);
}

void FtpSession::downloadOnConnections(const std::vector<FtpEntry>& files,
                                       const std::string& localFolder)
{
    // A name from the server never leads out of the local folder; such a file counts as failed.
    std::vector<const FtpEntry*> safe;
    std::vector<std::uint64_t> sizes;
    for (const FtpEntry& file : files) {
        if (isSafeLocalName(file.name)) {
            safe.push_back(&file);
            sizes.push_back(file.size);
        }
    }
    const std::string remote = remoteFolder();
    const vantiro::TransferType type = transferType_;
    std::size_t fetched = 0;
    if (!safe.empty()) {
        TransferLoop loop(view_, status_, transferRunning_, stopRequested_, safe.size(), "Lade");
        loop.beginRun(std::min(static_cast<std::size_t>(connections_), safe.size()));
        fetched = runOnConnections(sizes, [&](FtpClient& client, std::size_t index) {
            const std::string& name = safe[index]->name;
            return client.getFile(remote + name, localFolder + "/" + name, true, type);
        });
    }
    if (fetched < files.size())
        view_.showMessage(downloadFailedMessage);
}

void FtpSession::upload()
{
    guarded([this] {
        if (view_.localFileCount() == 0)
            return;
        const std::string folder = view_.localFolder();
        const std::vector<std::string> names = view_.selectedLocalFiles();
        if (parallelRun(names.size())) {
            uploadOnConnections(folder, names);
            showFolder();
            return;
        }
        {
            TransferLoop loop(view_, status_, transferRunning_, stopRequested_, names.size(),
                              "Übertrage"_cp1252);
            for (const std::string& name : names) {
                loop.beginFile(name);
                const std::string path = folder + "/" + name;
                if (isRegularFile(path))
                    uploadFile(path);
                if (!loop.fileDone())
                    throw Stopped{};
            }
        }
        showFolder();
    });
}

void FtpSession::download()
{
    guarded([this] {
        if (view_.currentServerLine() < 0) {
            view_.showMessage(noLineMessage);
            return;
        }
        // The selection is taken once, so clicks between two files do not change the run.
        std::vector<FtpEntry> files;
        for (const int line : view_.selectedServerLines()) {
            const auto index = static_cast<std::size_t>(line);
            if (line >= 0 && index < listing_.entryCount() &&
                !RemoteListing::isFolder(listing_.record(index)))
                files.push_back(listing_.record(index));
        }
        const std::string folder = view_.localFolder();
        const std::string location = locationText_;
        if (parallelRun(files.size())) {
            downloadOnConnections(files, folder);
            view_.refreshLocalFiles();
            showServerResponse();
            return;
        }
        {
            TransferLoop loop(view_, status_, transferRunning_, stopRequested_, files.size(),
                              "Lade");
            for (const FtpEntry& file : files) {
                loop.beginFile(file.name);
                downloadFile(location, file, folder);
                view_.refreshLocalFiles();
                if (!loop.fileDone())
                    throw Stopped{};
            }
        }
        // The run ends with the answer to its last call, as any other command does.
        showServerResponse();
    });
}

void FtpSession::showRemoteFile()
{
    guarded([this] {
        const FtpEntry* entry = pickedEntry();
        if (!entry)
            return;
        if (RemoteListing::isFolder(*entry))
            return;
        const FtpEntry file = *entry;
        const std::string& name = file.name;
        // The copy goes into a folder of this user alone, never beside the program where a file
        // of the server could take the place of one of the program's own. An earlier copy is
        // removed first, so the viewer shows the file as it is now or nothing.
        const std::string folder = view_.viewerFolder();
        if (folder.empty()) {
            view_.showMessage(downloadFailedMessage);
            return;
        }
        const std::string copy = folder + "/" + viewerCopyName(name);
        std::error_code error;
        std::filesystem::remove(copy, error);
        const bool copied = downloadTo(locationText_, file, copy);
        // The bar is for transfers; a copy to look at leaves it empty again.
        view_.showFileProgress(0, 0);
        if (copied)
            view_.openViewer(copy, name);
    });
}

void FtpSession::deleteRemoteEntry()
{
    guarded([this] {
        const FtpEntry* entry = pickedEntry();
        if (!entry)
            return;
        const FtpEntry target = *entry;
        bool ok = false;
        if (setRemotePath(locationText_)) {
            const BusyPointer busy(view_);
            if (!RemoteListing::isFolder(target)) {
                status_.show("Lösche Datei..."_cp1252);
                ok = blocking(
                    [&target](FtpClient& client) { return client.deleteFile(target.name); });
            } else if (!target.name.starts_with('.')) {
                status_.show("Lösche Verzeichnis..."_cp1252);
                ok = blocking(
                    [&target](FtpClient& client) { return client.removeDirectory(target.name); });
            }
            ok = answered(ok);
        }
        showFolderOrTell(ok, "Datei kann nicht gelöscht werden!"_cp1252);
    });
}

void FtpSession::renameRemoteEntry()
{
    guarded([this] {
        const FtpEntry* entry = pickedEntry();
        if (!entry)
            return;
        const std::string oldName = entry->name;
        const std::optional<std::string> newName =
            view_.askInput("Umbenennen", "Neuen Dateinamen eingeben", oldName);
        if (!newName || newName->empty())
            return;
        if (!setRemotePath(locationText_))
            return;
        const bool ok = step("Benenne um...", [&](FtpClient& client) {
            return client.renameFile(oldName, *newName);
        });
        showFolderOrTell(ok, "Umbenennen nicht möglich"_cp1252);
    });
}

void FtpSession::makeRemoteDirectory()
{
    guarded([this] {
        const std::optional<std::string> answer =
            view_.askInput("Neues Verzeichnis", "Neuen Verzeichnisnamen eingeben", "");
        const std::string name(trim(answer.value_or("")));
        if (name.empty() || !setRemotePath(locationText_))
            return;
        const bool ok = step("Erstelle Verzeichnis...",
                             [&name](FtpClient& client) { return client.createDirectory(name); });
        showFolderOrTell(ok, "Verzeichnis kann nicht erstellt werden!");
    });
}

} // namespace vantiro

// The list of sent files on whatever a server sends as it: no crash, every entry names a file
// the tool could have sent (so --delete never reaches beyond it) with a digest of 64 lower-case
// hex digits, and writing the list and reading it again gives the same list.
#include "FuzzInput.h"
#include "core/sync/UploadManifest.h"

using namespace vantiro;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    const UploadManifest manifest = UploadManifest::parse(text);
    for (const auto& [name, digest] : manifest.entries()) {
        fuzz::check(UploadManifest::acceptableName(name), "name the tool could send", name);
        fuzz::check(name.find('/') == std::string::npos && name.find('\n') == std::string::npos,
                    "bare name on one line", name);
        fuzz::check(UploadManifest::normalisedDigest(digest) == digest, "digest in lower-case hex",
                    digest);
    }
    fuzz::check(UploadManifest::parse(manifest.serialise()) == manifest, "read back as written");
    return 0;
}

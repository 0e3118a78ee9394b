// Files.
#include "runtime/files.h"

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>

#include <SDL.h>
#include <unistd.h>

#include "runtime/object_table.h"

namespace {
struct OpenFile {
    std::FILE* handle = nullptr;
    bool failed = false;
    ~OpenFile() {
        if (handle) std::fclose(handle);
    }
};
ObjectTable<OpenFile> files;
} // namespace

std::string gamePath(const std::string& path) {
    std::string out = path;
    for (char& c : out)
        if (c == '\\') c = '/';
    return out;
}

int64_t fileSize(const std::string& path) {
    std::error_code error;
    auto status = std::filesystem::status(gamePath(path), error);
    if (error || !std::filesystem::exists(status)) return -1;
    if (std::filesystem::is_directory(status)) return -2;
    auto size = std::filesystem::file_size(gamePath(path), error);
    return error ? -1 : int64_t(size);
}

bool readWholeFile(const std::string& path, std::string& contents) {
    std::ifstream in(gamePath(path), std::ios::binary | std::ios::ate);
    if (!in) return false;
    std::streamoff size = in.tellg();
    if (size <= 0) { // empty, or of no size known beforehand (a pipe): read as it comes
        in.clear();
        in.seekg(0);
        std::ostringstream buffer;
        buffer << in.rdbuf();
        if (in.bad()) return false;
        contents = buffer.str();
        return true;
    }
    // Read in one piece: the game reads its pictures often enough for the copy to show.
    in.seekg(0);
    contents.resize(size_t(size));
    in.read(contents.data(), size);
    if (in.gcount() != size) return false; // shorter than it was a moment ago
    return !in.bad();
}

int64_t createFile(int64_t fileId, const std::string& path) {
    if (fileSize(path) == -2) return 0;
    auto file = std::make_unique<OpenFile>();
    file->handle = std::fopen(gamePath(path).c_str(), "wb");
    if (!file->handle) return 0;
    return creationResult(fileId, files.store(fileId, std::move(file)));
}

int64_t writeText(int64_t fileId, const std::string& text) {
    OpenFile* file = files.find(fileId);
    if (!file) return 0;
    if (std::fwrite(text.data(), 1, text.size(), file->handle) != text.size()) file->failed = true;
    return file->failed ? 0 : 1;
}

int64_t closeFile(int64_t fileId) {
    OpenFile* file = files.find(fileId);
    if (!file) return 0;
    bool ok = !file->failed && std::fflush(file->handle) == 0;
    ok = std::fclose(file->handle) == 0 && ok;
    file->handle = nullptr;
    files.release(fileId);
    return ok ? 1 : 0;
}

void closeAllFiles() { files.release(-1); }

namespace {
// The file a path finally names: a symbolic link (or a chain of them, as the system allows) is
// followed, so that a player's settings.txt linked to elsewhere stays a link. The target
// need not exist yet.
std::string followLinks(const std::string& path) {
    std::filesystem::path current = path;
    for (int hops = 0; hops < 40; ++hops) {
        std::error_code error;
        if (!std::filesystem::is_symlink(std::filesystem::symlink_status(current, error)))
            break;
        std::filesystem::path next = std::filesystem::read_symlink(current, error);
        if (error) break;
        current = next.is_absolute() ? next : current.parent_path() / next;
    }
    return current.string();
}
} // namespace

bool replaceFileAtomically(const std::string& path, const std::string& text) {
    std::string target = followLinks(gamePath(path));
    if (fileSize(target) == -2) return false;
    std::string temporary = target + ".tmp";
    std::FILE* out = std::fopen(temporary.c_str(), "wb");
    if (!out) return false;
    bool ok = std::fwrite(text.data(), 1, text.size(), out) == text.size();
    ok = std::fflush(out) == 0 && ok;
    ok = fsync(fileno(out)) == 0 && ok;
    ok = std::fclose(out) == 0 && ok;
    if (ok) ok = std::rename(temporary.c_str(), target.c_str()) == 0;
    if (!ok) std::remove(temporary.c_str());
    return ok;
}

std::string executableDirectory() {
    // SDL reads /proc/self/exe on Linux; it needs no initialised subsystem.
    char* base = SDL_GetBasePath();
    if (!base) return "";
    std::string directory = base;
    SDL_free(base);
    return directory;
}

bool directoryWritable(const std::string& path) {
    std::error_code error;
    if (!std::filesystem::is_directory(gamePath(path), error)) return false;
    return access(gamePath(path).c_str(), W_OK | X_OK) == 0;
}

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QFile>
#include <algorithm>
#include <cstring>
#include <string_view>
#include <vector>

#include "dirlisting.h"

// readdir with d_type is the cheapest listing primitive here: no stat per entry, unlike
// QDir or std::filesystem, which is what makes big picture trees quick to collect.

namespace kadrano {

namespace {

inline unsigned char foldAscii(unsigned char c) {
    return (c >= 'A' && c <= 'Z') ? c + 32 : c;
}

// Without regard to ASCII case first, then exact bytes, so the order is total and stable.
bool nameLess(std::string_view a, std::string_view b) {
    const size_t n = std::min(a.size(), b.size());
    for (size_t i = 0; i < n; ++i) {
        const unsigned char ca = foldAscii(static_cast<unsigned char>(a[i]));
        const unsigned char cb = foldAscii(static_cast<unsigned char>(b[i]));
        if (ca != cb)
            return ca < cb;
    }
    if (a.size() != b.size())
        return a.size() < b.size();
    return a < b;
}

bool hasHighBytes(std::string_view s) {
    for (char c : s)
        if (static_cast<unsigned char>(c) >= 0x80)
            return true;
    return false;
}

// A name that is not valid UTF-8 cannot be written into a script or opened again by its
// decoded text, so it is left out rather than handed on as a different name.
bool decodes(std::string_view s) {
    if (!hasHighBytes(s))
        return true;
    const QString decoded = QString::fromUtf8(s.data(), qsizetype(s.size()));
    const QByteArray back = decoded.toUtf8();
    return back.size() == qsizetype(s.size()) &&
           std::memcmp(back.constData(), s.data(), s.size()) == 0;
}

// Returns how many names were left out.
int sortAndConvert(std::vector<std::string_view>& names, QStringList& out) {
    std::sort(names.begin(), names.end(), nameLess);
    out.reserve(qsizetype(names.size()));
    int undecodable = 0;
    for (std::string_view n : names) {
        if (decodes(n))
            out.append(QString::fromUtf8(n.data(), qsizetype(n.size())));
        else
            ++undecodable;
    }
    return undecodable;
}

}  // namespace

bool listDirectory(const QString& dir, const WildcardPattern& pattern, bool wantSubdirs,
                   DirListing& out) {
    out.files.clear();
    out.subdirs.clear();
    out.undecodableFiles = 0;
    out.undecodableSubdirs = 0;
    const QByteArray path = QFile::encodeName(dir);
    DIR* d = ::opendir(path.isEmpty() ? "." : path.constData());
    if (!d)
        return false;
    const int fd = ::dirfd(d);

    // Names are kept in one arena; the views point into it (stable after reserve).
    std::vector<char> arena;
    std::vector<std::pair<size_t, size_t>> fileSpans, dirSpans;
    arena.reserve(16384);

    while (dirent* e = ::readdir(d)) {
        const char* name = e->d_name;
        if (name[0] == '.')
            continue;  // hidden, "." and ".."
        unsigned char type = e->d_type;
        if (type == DT_UNKNOWN || type == DT_LNK) {
            struct stat st;
            if (::fstatat(fd, name, &st, 0) != 0)
                continue;  // dangling link
            if (S_ISDIR(st.st_mode)) {
                // A linked directory could lead back up the tree; it is not walked.
                type = (type == DT_LNK) ? DT_LNK : DT_DIR;
                if (type == DT_LNK)
                    continue;
            } else if (S_ISREG(st.st_mode)) {
                type = DT_REG;
            } else {
                continue;
            }
        }
        const size_t len = std::strlen(name);
        if (type == DT_REG) {
            if (!pattern.matchesUtf8(std::string_view(name, len)))
                continue;
            fileSpans.emplace_back(arena.size(), len);
        } else if (type == DT_DIR) {
            if (!wantSubdirs)
                continue;
            dirSpans.emplace_back(arena.size(), len);
        } else {
            continue;
        }
        arena.insert(arena.end(), name, name + len);
    }
    ::closedir(d);

    auto views = [&arena](const std::vector<std::pair<size_t, size_t>>& spans) {
        std::vector<std::string_view> v;
        v.reserve(spans.size());
        for (auto [off, len] : spans)
            v.emplace_back(arena.data() + off, len);
        return v;
    };
    std::vector<std::string_view> files = views(fileSpans);
    out.undecodableFiles = sortAndConvert(files, out.files);
    if (wantSubdirs) {
        std::vector<std::string_view> dirs = views(dirSpans);
        out.undecodableSubdirs = sortAndConvert(dirs, out.subdirs);
    }
    return true;
}

}  // namespace kadrano

#include "output.h"

#include <unistd.h>

#include <cerrno>

namespace kadrano::batch {

namespace {

constexpr qsizetype kFlushSize = 32 * 1024;
constexpr auto kFlushInterval = std::chrono::milliseconds(40);

// Writes everything or gives up on an error: a reader that went away must not stop the
// script halfway through its renames.
void writeAll(int fd, const char* data, qsizetype size) {
    while (size > 0) {
        const ssize_t n = ::write(fd, data, size_t(size));
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return;
        }
        data += n;
        size -= n;
    }
}

}  // namespace

void appendUtf8(QByteArray& out, QStringView text) {
    const qsizetype n = text.size();
    const char16_t* s = text.utf16();
    qsizetype i = 0;
    // Most of what we write is ASCII: copy that without looking further.
    while (i < n && s[i] < 0x80)
        ++i;
    const qsizetype start = out.size();
    out.resize(start + i);
    char* o = out.data() + start;
    for (qsizetype k = 0; k < i; ++k)
        o[k] = char(s[k]);
    for (; i < n; ++i) {
        char32_t c = s[i];
        if (c >= 0xD800 && c <= 0xDFFF) {
            if (c <= 0xDBFF && i + 1 < n && s[i + 1] >= 0xDC00 && s[i + 1] <= 0xDFFF) {
                c = 0x10000 + ((c - 0xD800) << 10) + (s[i + 1] - 0xDC00);
                ++i;
            } else {
                c = 0xFFFD;
            }
        }
        if (c < 0x80) {
            out.append(char(c));
        } else if (c < 0x800) {
            out.append(char(0xC0 | (c >> 6)));
            out.append(char(0x80 | (c & 0x3F)));
        } else if (c < 0x10000) {
            out.append(char(0xE0 | (c >> 12)));
            out.append(char(0x80 | ((c >> 6) & 0x3F)));
            out.append(char(0x80 | (c & 0x3F)));
        } else {
            out.append(char(0xF0 | (c >> 18)));
            out.append(char(0x80 | ((c >> 12) & 0x3F)));
            out.append(char(0x80 | ((c >> 6) & 0x3F)));
            out.append(char(0x80 | (c & 0x3F)));
        }
    }
}

Output::Output(int outFd, int errFd)
    : outFd_(outFd),
      errFd_(errFd),
      interactive_(isatty(outFd) == 1),
      lastFlush_(std::chrono::steady_clock::now()) {
    buffer_.reserve(kFlushSize + 4096);
}

Output::Output(Capturing) : outFd_(-1), errFd_(-1), interactive_(false), capturing_(true) {}

void Output::error(QStringView line) {
    flush();
    errorBuffer_.resize(0);
    appendUtf8(errorBuffer_, line);
    errorBuffer_.append('\n');
    if (capturing_)
        keep(2, errorBuffer_.constData(), errorBuffer_.size());
    else
        writeAll(errFd_, errorBuffer_.constData(), errorBuffer_.size());
}

void Output::flush() {
    if (!buffer_.isEmpty()) {
        if (capturing_)
            keep(1, buffer_.constData(), buffer_.size());
        else
            writeAll(outFd_, buffer_.constData(), buffer_.size());
    }
    buffer_.resize(0);  // keeps the capacity for the next lines
    lastFlush_ = std::chrono::steady_clock::now();
}

void Output::keep(int stream, const char* data, qsizetype size) {
    if (!kept_.empty() && kept_.back().stream == stream)
        kept_.back().bytes.append(data, size);
    else
        kept_.push_back({stream, QByteArray(data, size)});
}

void Output::programOutput(int stream, const char* data, qsizetype size) {
    flush();
    keep(stream, data, size);
}

void Output::replayInto(Output& target) {
    flush();
    for (const Chunk& c : kept_) {
        if (c.stream == 1) {
            target.buffer_.append(c.bytes);
        } else {
            // Errors go out at once, after what came before them, as error() does.
            target.flush();
            if (target.capturing_)
                target.keep(2, c.bytes.constData(), c.bytes.size());
            else
                writeAll(target.errFd_, c.bytes.constData(), c.bytes.size());
        }
    }
    kept_.clear();
    target.lineDone();
}

void Output::lineDone() {
    if (buffer_.isEmpty() || capturing_)
        return;
    if (interactive_ || buffer_.size() >= kFlushSize ||
        std::chrono::steady_clock::now() - lastFlush_ >= kFlushInterval)
        flush();
}

}  // namespace kadrano::batch

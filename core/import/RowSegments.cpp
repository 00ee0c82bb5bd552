// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/import/RowSegments.h"

#include <algorithm>
#include <atomic>
#include <cctype>
#include <condition_variable>
#include <cstring>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "core/base/Handoff.h"
#include "core/import/Sheet.h"
#include "core/import/ZipArchive.h"

namespace edlt::sheet {
namespace {

// A row longer than this is left to one parser.
constexpr size_t maxSegmentBytes = size_t(16) << 20;
// Bytes after a '<' enough to tell what it starts: "<![CDATA[", or a name with a prefix.
constexpr size_t lookahead = 64;
constexpr size_t npos = std::string_view::npos;

enum class Mark { None, Row, Unknown };

// Finds the first <row> start tag of a part, in a growing buffer. In well-formed XML a
// '<' outside comments, CDATA sections and processing instructions always starts markup
// (attribute values cannot hold one), so stepping over those three is enough.
class FirstRow {
public:
    // The mark from the scan position on, its offset in at and the tag's name (with the
    // writer's prefix) in name; None when the bytes so far hold none (final: no more come).
    Mark next(std::string_view buf, bool final, size_t& at, std::string& name)
    {
        for (;;) {
            if (!closing_.empty()) {
                const size_t end = buf.find(closing_, pos_);
                if (end == npos) {
                    // The terminator may straddle the end: look again where it could start.
                    pos_ = std::max(pos_, buf.size() - std::min(buf.size(), closing_.size() - 1));
                    return Mark::None;
                }
                pos_ = end + closing_.size();
                closing_ = {};
                continue;
            }
            const void* lt = pos_ < buf.size() ? std::memchr(buf.data() + pos_, '<', buf.size() - pos_) : nullptr;
            if (!lt) {
                pos_ = buf.size();
                return Mark::None;
            }
            const size_t p = static_cast<size_t>(static_cast<const char*>(lt) - buf.data());
            pos_ = p;
            const std::string_view tag = buf.substr(p, lookahead);
            if (tag.size() < lookahead && !final) return Mark::None;
            if (tag.starts_with("<!--")) {
                open(p + 4, "-->");
            } else if (tag.starts_with("<![CDATA[")) {
                open(p + 9, "]]>");
            } else if (tag.starts_with("<?")) {
                open(p + 2, "?>");
            } else if (tag.starts_with("<!")) {
                at = p;
                return Mark::Unknown;
            } else {
                pos_ = p + 1;
                const std::string_view qualified = tag.substr(1, tag.find_first_of(" \t\r\n/>") - 1);
                const size_t colon = qualified.rfind(':');
                if (qualified.size() + 1 < tag.size() && qualified.substr(colon == npos ? 0 : colon + 1) == "row") {
                    at = p;
                    name = qualified;
                    return Mark::Row;
                }
            }
        }
    }
    size_t pos() const { return pos_; }
    // The buffer lost its first n bytes (all before pos()).
    void shift(size_t n) { pos_ -= std::min(n, pos_); }

private:
    void open(size_t from, std::string_view closing)
    {
        pos_ = from;
        closing_ = closing;
    }

    size_t pos_ = 0;
    std::string_view closing_;
};

bool endsName(char c)
{
    return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '/' || c == '>';
}

// The first start tag of name at or after from; npos when there is none yet.
size_t findTag(std::string_view buf, std::string_view open, size_t from)
{
    for (size_t p = buf.find(open, from); p != npos; p = buf.find(open, p + 1))
        if (p + open.size() < buf.size() && endsName(buf[p + open.size()])) return p;
    return npos;
}

// UTF-8 is what a segment's own parser assumes: a part in another encoding is left whole.
bool utf8Document(std::string_view start)
{
    if (start.starts_with("\xEF\xBB\xBF")) start.remove_prefix(3);
    if (!start.starts_with("<?xml")) return !start.empty() && start[0] == '<';
    const std::string_view declaration = start.substr(0, start.find("?>"));
    size_t p = declaration.find("encoding");
    if (p == npos) return true;
    p = declaration.find_first_of("\"'", p);
    if (p == npos) return false;
    const size_t end = declaration.find(declaration[p], p + 1);
    if (end == npos) return false;
    std::string value(declaration.substr(p + 1, end - p - 1));
    for (char& c : value) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return value == "utf-8";
}

// Segments parsed on two threads and committed in the order they were added.
class Committer {
public:
    using Parse = std::function<std::unique_ptr<RowSegments::Parsed>(std::string_view)>;
    using Commit = std::function<void(RowSegments::Parsed&)>;

    Committer(Parse parse, Commit commit) : parse_(std::move(parse)), commit_(std::move(commit)) {}
    ~Committer()
    {
        fail();
        stop();
    }
    Committer(const Committer&) = delete;
    Committer& operator=(const Committer&) = delete;

    // False once a segment has failed.
    bool add(std::string segment)
    {
        if (threads_.empty())
            for (int i = 0; i < 2; ++i) threads_.emplace_back([this] { work(); });
        return !failed_ && queue_.put({added_++, std::move(segment)}) && !failed_;
    }
    // Waits for every segment; false when one failed.
    bool finish()
    {
        stop();
        return !failed_;
    }
    const RowSegments::Parsed* last() const { return last_.get(); }

private:
    void work()
    {
        while (auto item = queue_.take()) {
            std::unique_ptr<RowSegments::Parsed> parsed;
            if (!failed_) {
                try {
                    parsed = parse_(item->second);
                } catch (...) {
                    fail();
                }
            }
            std::unique_lock lock(mutex_);
            turn_.wait(lock, [&] { return committed_ == item->first || failed_; });
            if (!failed_ && parsed) {
                try {
                    commit_(*parsed);
                    last_ = std::move(parsed);
                } catch (...) {
                    failed_ = true;
                    queue_.leave();
                }
            }
            ++committed_;
            lock.unlock();
            turn_.notify_all();
        }
    }
    void fail()
    {
        {
            const std::lock_guard lock(mutex_);
            failed_ = true;
        }
        queue_.leave();
        turn_.notify_all();
    }
    void stop()
    {
        queue_.close();
        for (std::thread& t : threads_) t.join();
        threads_.clear();
    }

    Parse parse_;
    Commit commit_;
    Handoff<std::pair<size_t, std::string>> queue_{2};
    std::mutex mutex_;
    std::condition_variable turn_;
    size_t added_ = 0, committed_ = 0;
    std::atomic<bool> failed_ = false;
    std::unique_ptr<RowSegments::Parsed> last_;
    std::vector<std::thread> threads_;
};

}  // namespace

void RowSegments::parseWrapped(XmlHandler& handler, std::string_view xml) const
{
    XmlStream stream(handler, rowsDepth_ - std::min<size_t>(rowsDepth_, 1));
    static constexpr std::string_view open = "<segment>", close = "</segment>";
    stream.feed(open.data(), open.size());
    stream.feed(xml.data(), xml.size());
    stream.feed(close.data(), close.size());
    stream.finish();
}

bool RowSegments::read(ZipArchive& zip, std::string_view part)
{
    const uint64_t mark = zip.bytesRead();
    cut_ = false;
    try {
        if (readInSegments(zip, part)) return true;
    } catch (const SheetError&) {
        // Before the first cut the document's parser has read everything alone: its
        // fault is the file's, and reading again would only double the time to say so.
        if (!cut_) throw;
    } catch (...) {
        // Whatever it was, one parser meets it again and says so.
    }
    zip.forgetReadsSince(mark);
    return false;
}

bool RowSegments::readInSegments(ZipArchive& zip, std::string_view part)
{
    XmlStream document(outer());
    Committer segments([this](std::string_view xml) { return parse(xml); }, [this](Parsed& parsed) { commit(parsed); });
    enum class Stage { Head, Rows, Tail } stage = Stage::Head;
    FirstRow scan;
    std::string buf, rowOpen, dataClose;
    size_t searched = 0;  // rows looked for in the buffer up to here
    auto toDocument = [&](size_t n) {
        document.feed(buf.data(), n);
        buf.erase(0, n);
        scan.shift(n);
    };
    // Cuts the first n bytes off as a segment.
    auto cut = [&](size_t n) {
        std::string segment = std::move(buf);
        buf.assign(segment, n);
        segment.resize(n);
        searched = 0;
        cut_ = true;
        return segments.add(std::move(segment));
    };
    // The head is scanned with care: its first row starts the segments. After it the
    // cuts are found by plain search, for a cut inside a comment, a CDATA section or a
    // processing instruction leaves the segment before it unterminated, and its parser
    // fails; so does a last segment whose end of sheetData was not the real one.
    auto head = [&](bool final) {
        size_t at = 0;
        std::string name;
        const Mark found = scan.next(buf, final, at, name);
        if (found == Mark::None) {
            toDocument(scan.pos());
            return true;
        }
        if (found == Mark::Unknown) return false;
        toDocument(at);
        if (!outerBetweenRows()) {
            stage = Stage::Tail;
            toDocument(buf.size());
            return true;
        }
        rowsDepth_ = document.depth();
        rowOpen = "<" + name;
        const size_t colon = name.rfind(':');
        dataClose = "</" + (colon == npos ? std::string() : name.substr(0, colon + 1)) + "sheetData";
        stage = Stage::Rows;
        return true;
    };
    auto rows = [&] {
        for (;;) {
            if (buf.size() <= segmentBytes_) return true;
            const size_t at = findTag(buf, rowOpen, std::max(segmentBytes_, searched));
            if (at == npos) {
                searched = std::max(segmentBytes_, buf.size() - rowOpen.size());
                return buf.size() <= maxSegmentBytes;
            }
            if (!cut(at)) return false;
        }
    };
    // The rest of the rows, up to the last end of sheetData, and the tail.
    auto last = [&] {
        size_t at = buf.rfind(dataClose);
        while (at != npos && (at + dataClose.size() >= buf.size() || !endsName(buf[at + dataClose.size()])))
            at = at == 0 ? npos : buf.rfind(dataClose, at - 1);
        if (at == npos || !cut(at) || !segments.finish()) return false;
        if (segments.last()) resume(*segments.last());
        stage = Stage::Tail;
        return true;
    };

    bool first = true, going = true;
    zip.read(part, [&](const char* data, size_t size) {
        if (stage == Stage::Tail) {
            document.feed(data, size);
            return true;
        }
        buf.append(data, size);
        if (first) {
            first = false;
            if (!utf8Document(buf)) stage = Stage::Tail;
        }
        if (stage == Stage::Head) going = head(false);
        if (going && stage == Stage::Rows) going = rows();
        if (going && stage == Stage::Tail) toDocument(buf.size());
        return going;
    });
    if (!going) return false;
    if (stage == Stage::Head && !head(true)) return false;
    if (stage == Stage::Rows && !last()) return false;
    toDocument(buf.size());
    document.finish();
    return true;
}

}  // namespace edlt::sheet

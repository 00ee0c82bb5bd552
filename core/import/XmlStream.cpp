// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/import/XmlStream.h"

#include <expat.h>

#include <cstddef>
#include <cstdlib>
#include <cstring>
#include <new>

#include "core/import/CellText.h"
#include "core/import/Sheet.h"
#include "core/import/ZipArchive.h"

namespace edlt::sheet {
namespace {

// expat 2.5 scans a token that is still open again each time more bytes arrive, so one
// huge comment or tag costs time by its size squared. No part of a sheet needs a token
// this long without a handler being called in between.
constexpr size_t maxBytesWithoutProgress = size_t(4) << 20;
// XML_Parse copies what it is given into its buffer: pieces this size keep that small.
constexpr size_t maxPieceBytes = size_t(1) << 20;

// expat's own memory, counted per parser. Besides its buffer and the open elements it
// keeps every distinct element and attribute name until the document ends: a part naming
// millions would take gigabytes. A sheet's parser needs a few megabytes at most.
constexpr size_t maxParserBytes = size_t(32) << 20;

struct alignas(std::max_align_t) Allocation {
    size_t* used;  // the parser's count
    size_t size;
};

// The count of the parser that expat is running on this thread: its allocation
// functions take no context of their own.
thread_local size_t* runningParser = nullptr;

class Running {
public:
    explicit Running(size_t& used) : previous_(runningParser) { runningParser = &used; }
    ~Running() { runningParser = previous_; }
    Running(const Running&) = delete;
    Running& operator=(const Running&) = delete;

private:
    size_t* previous_;
};

void* meteredMalloc(size_t size)
{
    size_t* used = runningParser;
    if (!used || size > maxParserBytes - *used) return nullptr;
    auto* a = static_cast<Allocation*>(std::malloc(sizeof(Allocation) + size));
    if (!a) return nullptr;
    *a = {used, size};
    *used += size;
    return a + 1;
}

void meteredFree(void* p)
{
    if (!p) return;
    Allocation* a = static_cast<Allocation*>(p) - 1;
    *a->used -= a->size;
    std::free(a);
}

void* meteredRealloc(void* p, size_t size)
{
    if (!p) return meteredMalloc(size);
    Allocation* a = static_cast<Allocation*>(p) - 1;
    size_t* used = a->used;
    const size_t old = a->size;
    if (size > old && size - old > maxParserBytes - *used) return nullptr;
    a = static_cast<Allocation*>(std::realloc(a, sizeof(Allocation) + size));
    if (!a) return nullptr;
    a->size = size;
    *used = *used - old + size;
    return a + 1;
}

const XML_Memory_Handling_Suite meteredMemory = {meteredMalloc, meteredRealloc, meteredFree};

// Names are matched by their local part, whatever prefix a writer bound to the namespace:
// expat's own namespace processing would cost a third of the parse, building and
// scanning "URI local" for every tag and attribute.
std::string_view localName(const char* name)
{
    const char* local = name;
    const char* p = name;
    for (; *p; ++p)
        if (*p == ':') local = p + 1;
    return std::string_view(local, static_cast<size_t>(p - local));
}

// A namespace declaration, which is no attribute of the element.
bool declaresNamespace(const char* qualified)
{
    return std::strncmp(qualified, "xmlns", 5) == 0 && (qualified[5] == '\0' || qualified[5] == ':');
}

}  // namespace

const char* xmlAttr(const char** attrs, std::string_view wanted)
{
    for (size_t i = 0; attrs[i]; i += 2)
        if (localName(attrs[i]) == wanted && !declaresNamespace(attrs[i])) return attrs[i + 1];
    return nullptr;
}

XmlStream::XmlStream(XmlHandler& handler, size_t depth) : handler_(handler), depth_(depth)
{
    const Running running(parserBytes_);
    parser_ = XML_ParserCreate_MM(nullptr, &meteredMemory, nullptr);
    if (!parser_) throw std::bad_alloc();
    XML_SetUserData(parser_, this);
    XML_SetElementHandler(parser_, &XmlStream::onStart, &XmlStream::onEnd);
    XML_SetCharacterDataHandler(parser_, &XmlStream::onText);
    XML_SetStartDoctypeDeclHandler(parser_, &XmlStream::onDoctype);
    XML_SetParamEntityParsing(parser_, XML_PARAM_ENTITY_PARSING_NEVER);
}

XmlStream::~XmlStream()
{
    XML_ParserFree(parser_);
}

void XmlStream::abort(std::exception_ptr error)
{
    if (!error_) error_ = error;
    XML_StopParser(parser_, XML_FALSE);
}

void XmlStream::onStart(void* self, const char* name, const char** attrs)
{
    auto* s = static_cast<XmlStream*>(self);
    s->sinceProgress_ = 0;
    if (s->error_ || s->done_) return;
    try {
        // Stopped at once: expat's memory grows with every element left open.
        if (++s->depth_ > limits::maxNesting) fail(SheetFault::TooDeep);
        // Element names are handed over local, attributes too, in place.
        s->handler_.start(localName(name), attrs);
    } catch (...) {
        s->abort(std::current_exception());
    }
}

void XmlStream::onEnd(void* self, const char* name)
{
    auto* s = static_cast<XmlStream*>(self);
    s->sinceProgress_ = 0;
    if (s->error_ || s->done_) return;
    --s->depth_;
    try {
        s->handler_.end(localName(name));
    } catch (...) {
        s->abort(std::current_exception());
    }
}

void XmlStream::onText(void* self, const char* data, int size)
{
    auto* s = static_cast<XmlStream*>(self);
    s->sinceProgress_ = 0;
    if (s->error_ || s->done_) return;
    try {
        s->handler_.text(data, static_cast<size_t>(size));
    } catch (...) {
        s->abort(std::current_exception());
    }
}

void XmlStream::onDoctype(void* self, const char*, const char*, const char*, int)
{
    auto* s = static_cast<XmlStream*>(self);
    s->doctype_ = true;
    XML_StopParser(s->parser_, XML_FALSE);
}

void XmlStream::done()
{
    if (done_) return;
    done_ = true;
    XML_StopParser(parser_, XML_FALSE);
}

void XmlStream::check(int status)
{
    if (error_) std::rethrow_exception(error_);
    if (doctype_) fail(SheetFault::Unsafe, "DOCTYPE");
    if (done_) return;
    if (status != XML_STATUS_OK) {
        XML_Error code = XML_GetErrorCode(parser_);
        if (code == XML_ERROR_NO_MEMORY) fail(SheetFault::TooLarge);
        if (code == XML_ERROR_AMPLIFICATION_LIMIT_BREACH) fail(SheetFault::Unsafe);
        fail(SheetFault::Corrupt, XML_ErrorString(code));
    }
}

bool XmlStream::feed(const char* data, size_t size)
{
    const Running running(parserBytes_);
    while (size > 0 && !done_) {
        int piece = static_cast<int>(std::min(size, maxPieceBytes));
        sinceProgress_ += static_cast<size_t>(piece);
        check(XML_Parse(parser_, data, piece, XML_FALSE));
        if (sinceProgress_ > maxBytesWithoutProgress) fail(SheetFault::TooLarge);
        data += piece;
        size -= static_cast<size_t>(piece);
    }
    return !done_;
}

void XmlStream::finish()
{
    if (done_) return;
    const Running running(parserBytes_);
    check(XML_Parse(parser_, "", 0, XML_TRUE));
}

void parseZipEntry(ZipArchive& zip, std::string_view name, XmlHandler& handler)
{
    XmlStream xml(handler);
    bool parsing = true;
    zip.read(name, [&](const char* data, size_t size) {
        if (parsing) parsing = xml.feed(data, size);
        return true;
    });
    if (parsing) xml.finish();
}

}  // namespace edlt::sheet

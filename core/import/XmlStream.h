// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// expat as the sheet readers use it: elements and attributes reported by local name,
// any DOCTYPE refused at its start (spreadsheet XML never needs one, and entity
// expansion is where XML attacks live), no external entities, and exceptions thrown by
// a handler carried out of expat's C frames and rethrown by feed().
#include <cstddef>
#include <exception>
#include <string_view>

struct XML_ParserStruct;

namespace edlt::sheet {

class ZipArchive;

class XmlHandler {
public:
    virtual ~XmlHandler() = default;
    // name: the element's local name; attrs: expat's name/value pairs, names as written
    // (xmlAttr looks them up by local name).
    virtual void start(std::string_view name, const char** attrs) = 0;
    virtual void end(std::string_view name) = 0;
    virtual void text(const char* data, size_t size) = 0;
};

// The value of an attribute by local name, or nullptr.
const char* xmlAttr(const char** attrs, std::string_view localName);

class XmlStream {
public:
    // depth: the elements already open around what this stream parses, counted towards
    // limits::maxNesting.
    explicit XmlStream(XmlHandler& handler, size_t depth = 0);
    ~XmlStream();
    XmlStream(const XmlStream&) = delete;
    XmlStream& operator=(const XmlStream&) = delete;

    // Parses the next piece; false once the handler has asked to stop (done()).
    // Throws SheetError(Corrupt) for malformed XML, SheetError(Unsafe) for a DOCTYPE,
    // SheetError(TooDeep) as soon as an element opens past limits::maxNesting.
    bool feed(const char* data, size_t size);
    // The end of the document: an unfinished document is Corrupt.
    void finish();
    // For handlers: the wanted part has been read, ignore the rest.
    void done();
    // The elements open now.
    size_t depth() const { return depth_; }

private:
    static void onStart(void* self, const char* name, const char** attrs);
    static void onEnd(void* self, const char* name);
    static void onText(void* self, const char* data, int size);
    static void onDoctype(void* self, const char*, const char*, const char*, int);
    void check(int status);
    void abort(std::exception_ptr error);

    size_t parserBytes_ = 0;  // what expat holds for this parser; set before parser_
    XML_ParserStruct* parser_;
    XmlHandler& handler_;
    std::exception_ptr error_;
    bool doctype_ = false;
    bool done_ = false;
    size_t depth_;
    size_t sinceProgress_ = 0;  // bytes fed since a handler was last called
};

// Parses a zip entry with handler. After the handler is done() the rest of the entry is
// still inflated, unparsed, so that its checksum is verified.
void parseZipEntry(ZipArchive& zip, std::string_view name, XmlHandler& handler);

}  // namespace edlt::sheet

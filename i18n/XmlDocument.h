#pragma once
// The in-memory XML reader: decodes a file's bytes to UTF-16 (byte-order mark, declared encoding,
// UTF-8 detection, code pages), indexes its elements in one forward pass with an explicit tag
// stack, keeps going after errors and records the first one as text. Read-only.
//
// Not thread-safe: every user keeps its own CXmlDocument (the language table has one, the update
// check has its own), so a load and its lookups are never interleaved with another user's.

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace n640 {

// One element of the index, eight 32-bit words. Index 0 is the document itself: all zero except
// firstChild, which is the root element.
struct ElementRecord {
    uint32_t start;        // offset of the start tag's '<'
    uint32_t length;       // '<' to the end of the end tag (empty element: the start tag's length)
    uint32_t tagLengths;   // start tag length in the low 22 bits, end tag length in the high 10
    uint32_t levelFlags;   // nesting depth in the low 16 bits, flags above
    uint32_t parent;       // 0 for the root
    uint32_t firstChild;   // 0 if none
    uint32_t nextSibling;  // 0 if none
    uint32_t prevSibling;  // the first child's previous sibling is the last child (circular)
};
static_assert(sizeof(ElementRecord) == 32);
static_assert(offsetof(ElementRecord, start) == 0);
static_assert(offsetof(ElementRecord, length) == 4);
static_assert(offsetof(ElementRecord, tagLengths) == 8);
static_assert(offsetof(ElementRecord, levelFlags) == 12);
static_assert(offsetof(ElementRecord, parent) == 16);
static_assert(offsetof(ElementRecord, firstChild) == 20);
static_assert(offsetof(ElementRecord, nextSibling) == 24);
static_assert(offsetof(ElementRecord, prevSibling) == 28);

namespace xml {
// ElementRecord::levelFlags
constexpr uint32_t kLevelMask = 0xFFFF;
constexpr uint32_t kEmptyElement = 0x10000;
constexpr uint32_t kFirstChild = 0x80000;
constexpr uint32_t kNotEnded = 0x100000;
constexpr uint32_t kErrorInside = 0x200000;
constexpr uint32_t kIllFormed = 0x800000;  // on the document record
constexpr uint32_t kStartTagMask = 0x3FFFFF;
constexpr uint32_t kEndTagMax = 0x3FF;
constexpr uint32_t kPageRecords = 65536;

// Document flags
constexpr uint32_t kUtf16LeMark = 0x1;
constexpr uint32_t kUtf8Mark = 0x4;
constexpr uint32_t kIgnoreCase = 0x8;
constexpr uint32_t kReadMode = 0x10;
constexpr uint32_t kUtf16BeMark = 0x80;

// Node kinds of the tokenizer
constexpr int kEndTag = 0;
constexpr int kElement = 1;
constexpr int kText = 2;
constexpr int kWhitespace = 4;
constexpr int kCData = 8;
constexpr int kProcessingInstruction = 16;
constexpr int kComment = 32;
constexpr int kDocType = 64;
constexpr int kError = -1;
constexpr int kEndOfText = -2;

// One node as the tokenizer sees it.
struct Node {
    int kind = kEndOfText;
    size_t start = 0;
    size_t length = 0;
    size_t nameStart = 0;  // element and end tags: the tag name
    size_t nameLength = 0;
    bool empty = false;     // start tag ending in "/>"
    std::u16string error;   // kind kError: the message
};

// The next node of text at offset pos.
Node NextNode(std::u16string_view text, size_t pos);

// Text with character references decoded (numeric, hexadecimal and the HTML 4.01 names plus apos).
std::u16string DecodeReferences(std::u16string_view text);

// Code point of a named reference, 0 when the name is not one (names are case-sensitive).
uint32_t EntityCodePoint(std::u16string_view name);
// Number of names in the entity table.
size_t EntityCount();
}  // namespace xml

class CXmlDocument {
public:
    CXmlDocument();
    CXmlDocument(const CXmlDocument&) = delete;
    CXmlDocument& operator=(const CXmlDocument&) = delete;

    // Reads, decodes and parses the file at path. True when the file was read and the document
    // is well formed.
    bool LoadFile(const std::u16string& path);
    // The same from bytes already in memory (what LoadFile does after reading the file).
    bool LoadBytes(std::string_view bytes);
    // Parses already decoded text.
    bool SetDoc(std::u16string text);

    void ResetPosition();
    bool FindElement(std::u16string_view name = {});
    bool FindChildElement(std::u16string_view name = {});
    bool EnterElement();
    std::u16string ChildText() const;

    const std::u16string& ResultText() const { return result_; }
    const std::u16string& Text() const { return text_; }
    uint32_t Flags() const { return flags_; }
    // Records in use, the document record included.
    uint32_t ElementCount() const { return used_; }
    // A record of the index; an index past the records in use reads as all zero.
    const ElementRecord& Element(uint32_t index) const;
    std::u16string_view ElementName(uint32_t index) const;
    uint32_t Root() const { return Rec(0).firstChild; }
    bool WellFormed() const;

private:
    ElementRecord& Rec(uint32_t index) { return pages_[index >> 16][index & 0xFFFF]; }
    const ElementRecord& Rec(uint32_t index) const { return pages_[index >> 16][index & 0xFFFF]; }
    uint32_t NewRecord();
    void Parse();
    void CloseNotEnded(const std::vector<uint32_t>& stack, size_t from);
    void Note(std::u16string message);
    bool NameMatches(uint32_t index, std::u16string_view name) const;
    std::u16string TextOf(uint32_t index) const;

    std::u16string text_;
    std::u16string result_;
    std::u16string parseError_;
    uint32_t parent_ = 0;
    uint32_t current_ = 0;
    uint32_t child_ = 0;
    uint32_t used_ = 0;
    uint32_t capacity_ = 0;
    int nodeKind_ = 0;
    uint32_t nodeOffset_ = 0;
    uint32_t nodeLength_ = 0;
    uint32_t flags_ = 0;
    std::vector<std::unique_ptr<ElementRecord[]>> pages_;
};

// The one lookup the program performs: the text of the first element `inner` inside the first
// element `outer` under the root, looking into an `outer` nested inside `outer` when the first
// has no such child (never into a later sibling). The empty string when absent. Moves the
// document's positions.
std::u16string LookupText(CXmlDocument& doc, std::u16string_view outer, std::u16string_view inner);

}  // namespace n640

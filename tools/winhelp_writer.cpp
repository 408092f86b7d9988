#include "winhelp_writer.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <limits>
#include <map>
#include <stdexcept>

namespace quran {

namespace {

// Record sizes from the helpdeco notes; each writer below checks it emits exactly these.
constexpr std::size_t kFileHeaderSize = 4 + 4 + 4 + 4;  // magic, directory, free list, size
static_assert(kFileHeaderSize == 16);
constexpr std::size_t kInternalHeaderSize = 4 + 4 + 1;  // reserved, used, flags
static_assert(kInternalHeaderSize == 9);
constexpr std::size_t kBTreeHeaderSize = 2 + 2 + 2 + 16 + 2 + 2 + 2 + 2 + 2 + 2 + 4;
static_assert(kBTreeHeaderSize == 38);
constexpr std::size_t kBTreeLeafHeaderSize = 2 + 2 + 2 + 2;  // free, entries, prev, next
static_assert(kBTreeLeafHeaderSize == 8);
constexpr std::size_t kSystemHeaderSize = 2 + 2 + 2 + 4 + 2;  // magic, minor, major, date, flags
static_assert(kSystemHeaderSize == 12);
constexpr std::size_t kFontHeaderSize = 2 + 2 + 2 + 2;
static_assert(kFontHeaderSize == 8);
constexpr std::size_t kFaceNameSize = 32;  // LF_FACESIZE
constexpr std::size_t kFontDescriptorSize = 1 + 1 + 1 + 2 + 3 + 3;
static_assert(kFontDescriptorSize == 11);
constexpr std::size_t kTopicBlockHeaderSize = 4 + 4 + 4;
static_assert(kTopicBlockHeaderSize == 12);
constexpr std::size_t kTopicLinkHeaderSize = 4 + 4 + 4 + 4 + 4 + 1;
static_assert(kTopicLinkHeaderSize == 21);
constexpr std::size_t kTopicHeaderSize = 4 + 4 + 4 + 4 + 4 + 4 + 4;
static_assert(kTopicHeaderSize == 28);

// Topic blocks are "LZ77 compressed" with literals only: a zero flag byte before every
// eight bytes. Compressed files number TOPICPOS blocks in 16 KiB steps, which WinHelp and
// winhlp32 agree on (for stored blocks they do not), and a block then holds exactly
// kBlockData bytes, so a record may run on into the next block as the format allows.
constexpr std::size_t kTopicBlockSize = 4096;
constexpr std::size_t Encoded(std::size_t n) {
  return n + (n + 7) / 8;
}
constexpr std::size_t kBlockData = 3630;
static_assert(Encoded(kBlockData) <= kTopicBlockSize - kTopicBlockHeaderSize &&
              Encoded(kBlockData + 1) > kTopicBlockSize - kTopicBlockHeaderSize);
// winhlp32 rereads a last block shorter than 0x44 bytes from further back.
constexpr std::size_t kMinLastBlockData = 64;
static_assert(kTopicBlockHeaderSize + Encoded(kMinLastBlockData) >= 0x44);

constexpr std::uint32_t kNone = 0xFFFFFFFF;

enum Font : std::uint16_t { kBodyFont, kHeadingFont, kTitleFont, kFontCount };

void Put8(std::string& out, unsigned v) {
  out += static_cast<char>(v & 0xFF);
}
void Put16(std::string& out, unsigned v) {
  Put8(out, v);
  Put8(out, v >> 8);
}
void Put32(std::string& out, std::uint32_t v) {
  Put16(out, v & 0xFFFF);
  Put16(out, v >> 16);
}

void CheckSize(const std::string& out, std::size_t start, std::size_t size, const char* what) {
  if (out.size() - start != size) throw std::logic_error(std::string(what) + " size");
}

std::uint32_t Size32(std::size_t n) {
  if (n > std::numeric_limits<std::uint32_t>::max())
    throw std::runtime_error("help file too large");
  return static_cast<std::uint32_t>(n);
}

// The short forms of the format's "compressed" numbers. helpdeco and winhlp32 read the
// long form of a signed long differently, so paragraphs stay below 16 KiB instead.
void PutCompressedLong(std::string& out, std::size_t v) {
  if (v >= 0x4000) throw std::logic_error("compressed long out of range");
  Put16(out, static_cast<unsigned>(v) * 2 + 0x8000);
}
void PutCompressedUShort(std::string& out, std::size_t v) {
  if (v < 0x80)
    Put8(out, static_cast<unsigned>(v) * 2);
  else
    Put16(out, static_cast<unsigned>(v) * 2 + 1);
}
void PutCompressedShort(std::string& out, unsigned v) {
  Put8(out, v * 2 + 0x80);
}

std::string InternalFile(const std::string& content) {
  std::string out;
  Put32(out, Size32(content.size() + kInternalHeaderSize));
  Put32(out, Size32(content.size()));
  Put8(out, 4);
  CheckSize(out, 0, kInternalHeaderSize, "file header");
  return out + content;
}

// A B+ tree of one leaf page, which is all a help file of a few dozen topics needs.
std::string BTree(const char* name, const char* structure, unsigned flags, std::size_t pageSize,
                  const std::vector<std::string>& sortedEntries) {
  std::string page;
  for (const std::string& e : sortedEntries) page += e;
  if (kBTreeLeafHeaderSize + page.size() > pageSize) {
    throw std::runtime_error(std::string(name) + " would need more than one B+ tree page");
  }
  std::string out;
  Put16(out, 0x293B);
  Put16(out, flags);
  Put16(out, static_cast<unsigned>(pageSize));
  std::string layout = structure;
  layout.resize(16, '\0');
  out += layout;
  Put16(out, 0);       // must be zero
  Put16(out, 0);       // page splits
  Put16(out, 0);       // root page
  Put16(out, 0xFFFF);  // must be -1
  Put16(out, 1);       // pages
  Put16(out, 1);       // levels
  Put32(out, Size32(sortedEntries.size()));
  CheckSize(out, 0, kBTreeHeaderSize, "B+ tree header");
  Put16(out, static_cast<unsigned>(pageSize - kBTreeLeafHeaderSize - page.size()));
  Put16(out, static_cast<unsigned>(sortedEntries.size()));
  Put16(out, 0xFFFF);  // no previous leaf
  Put16(out, 0xFFFF);  // no next leaf
  out += page;
  out.resize(kBTreeHeaderSize + pageSize, '\0');
  return out;
}

void CheckText(const std::string& text, const char* what) {
  for (unsigned char c : text) {
    if (c < 0x20) throw std::runtime_error(std::string(what) + " holds a control character");
  }
}

// One TOPICLINK: a topic header (type 2) or a paragraph of text (type 0x20).
struct Record {
  std::uint8_t type = 0;
  std::size_t topic = 0;
  std::string data1;  // after the TOPICLINK header
  std::string data2;  // the strings
  std::size_t pos = 0;
  std::size_t Size() const { return kTopicLinkHeaderSize + data1.size() + data2.size(); }
};

// winhlp32 hands paragraphs to RichEdit with no paragraph direction, so they are laid
// out left to right. Right-to-left marks at both ends keep leading and trailing
// brackets and stops with the Arabic text; Latin words inside such a paragraph still
// split it. Hotspots are left alone: winhlp32 takes a click on an RTL hotspot only over
// its last letter, which a mark after it would cover.
std::string WithMarks(const std::string& text, bool rightToLeft, std::uint8_t charset,
                      bool hotspot) {
  // 0xFE is RIGHT-TO-LEFT MARK in both Windows-1256 (Arabic) and 1255 (Hebrew).
  bool hasMark = charset == 178 || charset == 177;
  if (!rightToLeft || !hasMark || hotspot) return text;
  return "\xFE" + text + "\xFE";
}

Record Paragraph(std::size_t topic, const std::string& rawText, Font font, bool rightToLeft,
                 const std::uint32_t* linkHash, std::uint8_t charset) {
  std::string text = WithMarks(rawText, rightToLeft, charset, linkHash != nullptr);
  // Each formatting command follows one string; empty strings sit between commands.
  std::string commands, strings;
  auto then = [&](const std::string& s, std::initializer_list<unsigned> command) {
    strings += s;
    strings += '\0';
    for (unsigned b : command) Put8(commands, b);
  };
  then("", {0x80, font, 0});
  if (linkHash) {
    then("", {0xE3, *linkHash & 0xFF, (*linkHash >> 8) & 0xFF, (*linkHash >> 16) & 0xFF,
              *linkHash >> 24});  // topic jump, shown green and underlined
    then(text, {0x89});           // end of hotspot
    then("", {0x82});
  } else {
    then(text, {0x82});  // end of paragraph
  }
  then("", {0xFF});
  if (strings.size() >= 0x4000) {
    throw std::runtime_error("topic " + std::to_string(topic + 1) +
                             ": a paragraph is longer than 16,000 bytes");
  }

  Record r{0x20, topic, {}, strings};
  PutCompressedLong(r.data1, strings.size());    // topic size
  PutCompressedUShort(r.data1, strings.size());  // topic length: characters and NULs
  Put8(r.data1, 0);
  Put8(r.data1, 0x80);
  Put16(r.data1, 0);                      // id
  unsigned bits = 0x0004;                 // spacing below follows
  if (font != kBodyFont) bits |= 0x0002;  // spacing above follows
  if (rightToLeft) bits |= 0x0400;        // right aligned
  Put16(r.data1, bits);
  if (font != kBodyFont) PutCompressedShort(r.data1, font == kTitleFont ? 4 : 12);
  PutCompressedShort(r.data1, font == kTitleFont ? 12 : 8);
  r.data1 += commands;
  return r;
}

std::uint32_t TopicPos(std::size_t pos) {
  return Size32(pos / kBlockData * 0x4000 + kTopicBlockHeaderSize + pos % kBlockData);
}

struct TopicFile {
  std::string bytes;
  std::vector<std::uint32_t> offsets;  // TOPICOFFSET of each topic
};

TopicFile BuildTopicFile(const HelpDocument& doc,
                         const std::map<std::string, std::uint32_t>& hashById) {
  const std::size_t n = doc.topics.size();
  std::vector<Record> records;
  for (std::size_t t = 0; t < n; ++t) {
    const HelpTopic& topic = doc.topics[t];
    records.push_back(Record{0x02, t, std::string(kTopicHeaderSize, '\0'), topic.title});
    records.push_back(
        Paragraph(t, topic.title, kTitleFont, topic.rightToLeft, nullptr, doc.charset));
    for (const HelpParagraph& p : topic.paragraphs) {
      const std::uint32_t* hash = nullptr;
      if (!p.linkTo.empty()) {
        auto it = hashById.find(p.linkTo);
        if (it == hashById.end()) throw std::runtime_error("link to unknown topic " + p.linkTo);
        hash = &it->second;
      }
      records.push_back(Paragraph(t, p.text, p.heading ? kHeadingFont : kBodyFont, p.rightToLeft,
                                  hash, doc.charset));
    }
  }
  // Readers of the Windows format skip the record that ends the chain, so it is an empty
  // topic header; winhlp32 reads it too and stops the last topic there.
  records.push_back(Record{0x02, n, std::string(kTopicHeaderSize, '\0'), ""});

  // Lay the records out, then count characters per block as readers do for TOPICOFFSETs.
  std::size_t pos = 0;
  for (Record& r : records) {
    r.pos = pos;
    pos += r.Size();
  }
  TopicFile out;
  out.offsets.resize(n + 1);
  std::size_t block = 0, chars = 0;
  std::vector<std::size_t> headerIndex(n + 1), topicBytes(n + 1);
  for (std::size_t i = 0; i < records.size(); ++i) {
    const Record& r = records[i];
    if (r.pos / kBlockData != block) {
      block = r.pos / kBlockData;
      chars = 0;
    }
    if (r.type == 0x02) {
      out.offsets[r.topic] = Size32(block * 0x8000 + chars);
      headerIndex[r.topic] = i;
    } else {
      chars += r.data2.size();
    }
    topicBytes[r.topic] += r.Size();
  }

  std::string stream;
  for (std::size_t i = 0; i < records.size(); ++i) {
    Record& r = records[i];
    if (r.type == 0x02) {
      std::size_t t = r.topic;
      std::string h;
      Put32(h, Size32(topicBytes[t]));
      Put32(h, t > 0 && t < n ? out.offsets[t - 1] : kNone);  // browse back
      Put32(h, t + 1 < n ? out.offsets[t + 1] : kNone);       // browse forward
      Put32(h, Size32(t));
      Put32(h, kNone);                                         // no non-scrolling region
      Put32(h, t < n ? TopicPos(records[i + 1].pos) : kNone);  // scrolling region: the title
      Put32(h, t < n ? TopicPos(records[headerIndex[t + 1]].pos) : kNone);
      CheckSize(h, 0, kTopicHeaderSize, "topic header");
      r.data1 = h;
    }
    std::size_t start = stream.size();
    Put32(stream, Size32(r.Size()));
    Put32(stream, Size32(r.data2.size()));
    Put32(stream, i > 0 ? TopicPos(records[i - 1].pos) : kNone);
    Put32(stream, i + 1 < records.size() ? TopicPos(records[i + 1].pos) : kNone);
    Put32(stream, Size32(kTopicLinkHeaderSize + r.data1.size()));
    Put8(stream, r.type);
    CheckSize(stream, start, kTopicLinkHeaderSize, "topic link");
    stream += r.data1;
    stream += r.data2;
  }
  out.offsets.resize(n);
  std::size_t blocks = (stream.size() + kBlockData - 1) / kBlockData;
  stream.resize(std::max(stream.size(), (blocks - 1) * kBlockData + kMinLastBlockData), '\0');

  for (std::size_t b = 0; b < blocks; ++b) {
    std::size_t begin = b * kBlockData, end = std::min(stream.size(), begin + kBlockData);
    std::uint32_t lastLink = kNone, firstLink = kNone, lastHeader = kNone;
    for (const Record& r : records) {
      if (r.pos < begin) lastLink = TopicPos(r.pos);
      if (r.pos >= begin && r.pos < end && firstLink == kNone) firstLink = TopicPos(r.pos);
      if (r.type == 0x02 && r.pos < end) lastHeader = TopicPos(r.pos);
    }
    std::size_t start = out.bytes.size();
    Put32(out.bytes, lastLink);
    Put32(out.bytes, firstLink);
    Put32(out.bytes, lastHeader);
    CheckSize(out.bytes, start, kTopicBlockHeaderSize, "topic block header");
    for (std::size_t i = begin; i < end; i += 8) {
      Put8(out.bytes, 0);  // eight literal bytes follow
      out.bytes.append(stream, i, std::min<std::size_t>(8, end - i));
    }
  }
  return out;
}

std::string FontFile(const HelpDocument& doc) {
  if (doc.fontFace.empty() || doc.fontFace.size() >= kFaceNameSize) {
    throw std::runtime_error("font face name must have 1 to 31 characters");
  }
  std::string out;
  Put16(out, 1);  // face names
  Put16(out, kFontCount);
  Put16(out, kFontHeaderSize);
  Put16(out, kFontHeaderSize + kFaceNameSize);
  CheckSize(out, 0, kFontHeaderSize, "font header");
  std::string face = doc.fontFace;
  face.resize(kFaceNameSize, '\0');
  out += face;
  struct Style {
    unsigned attributes, halfPoints, red, green, blue;
  };
  const Style styles[kFontCount] = {{0, 22, 0, 0, 0}, {1, 24, 0, 0, 0x80}, {1, 28, 0, 0, 0x80}};
  for (const Style& s : styles) {
    std::size_t start = out.size();
    Put8(out, s.attributes);  // 1: bold
    Put8(out, s.halfPoints);
    Put8(out, 3);   // swiss
    Put16(out, 0);  // face name index
    Put8(out, s.red);
    Put8(out, s.green);
    Put8(out, s.blue);
    Put8(out, 0xFF);  // background, unused
    Put8(out, 0xFF);
    Put8(out, 0xFF);
    CheckSize(out, start, kFontDescriptorSize, "font descriptor");
  }
  return out;
}

std::string SystemFile(const HelpDocument& doc, std::uint32_t contents) {
  std::string out;
  Put16(out, 0x036C);
  Put16(out, 21);  // HC31, Windows 3.1
  Put16(out, 1);
  Put32(out, 0);  // no date: same input, same bytes
  Put16(out, 4);  // LZ77, 4 KiB topic blocks
  CheckSize(out, 0, kSystemHeaderSize, "system header");
  auto record = [&](unsigned type, const std::string& data) {
    if (data.size() > 0xFFFF) throw std::runtime_error("system record too long");
    Put16(out, type);
    Put16(out, static_cast<unsigned>(data.size()));
    out += data;
  };
  record(1, doc.title + '\0');
  if (!doc.copyright.empty()) record(2, doc.copyright + '\0');
  std::string offset;
  Put32(offset, contents);
  record(3, offset);
  record(4, std::string("BrowseButtons()") + '\0');
  std::string charset;
  Put16(charset, doc.charset);
  record(11, charset);
  return out;
}

void WriteAtomically(const std::string& path, const std::string& bytes) {
  std::string tmp = path + ".tmp";
  std::error_code ec;
  {
    std::ofstream out(tmp, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    out.close();
    if (!out) {
      std::filesystem::remove(tmp, ec);
      throw std::runtime_error(tmp + ": cannot be written");
    }
  }
  std::filesystem::rename(tmp, path, ec);
  if (ec) {
    std::string message = path + ": " + ec.message();
    std::filesystem::remove(tmp, ec);
    throw std::runtime_error(message);
  }
}

}  // namespace

std::uint32_t HelpContextHash(const std::string& contextId) {
  std::uint32_t hash = 0;
  for (char c : contextId) {
    std::uint32_t x = 0;
    if (c >= 'A' && c <= 'Z') x = c - 'A' + 17;
    if (c >= 'a' && c <= 'z') x = c - 'a' + 17;
    if (c >= '1' && c <= '9') x = c - '0';
    if (c == '0') x = 10;
    if (c == '.') x = 12;
    if (c == '_') x = 13;
    hash = hash * 43 + x;
  }
  return hash;
}

void WriteHelpFile(const std::string& path, const HelpDocument& doc) {
  if (doc.topics.empty()) throw std::runtime_error("a help file needs at least one topic");
  CheckText(doc.title, "title");
  CheckText(doc.copyright, "copyright");
  std::map<std::string, std::uint32_t> hashById;
  std::map<std::int32_t, std::size_t> topicByHash;  // signed: the order readers search in
  for (std::size_t t = 0; t < doc.topics.size(); ++t) {
    const HelpTopic& topic = doc.topics[t];
    CheckText(topic.title, "topic title");
    for (const HelpParagraph& p : topic.paragraphs) CheckText(p.text, "paragraph");
    std::string id = topic.contextId.empty() ? "topic" + std::to_string(t + 1) : topic.contextId;
    for (char c : id) {
      bool ok = (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') ||
                c == '.' || c == '_';
      if (!ok) throw std::runtime_error("context id " + id + ": only letters, digits, . and _");
    }
    std::uint32_t hash = HelpContextHash(id);
    if (!hashById.emplace(id, hash).second) {
      throw std::runtime_error("context id " + id + " used twice");
    }
    if (hash == 0 || !topicByHash.emplace(static_cast<std::int32_t>(hash), t).second) {
      throw std::runtime_error("context id " + id + " has the hash of another; rename it");
    }
  }

  TopicFile topics = BuildTopicFile(doc, hashById);
  std::vector<std::string> context, titles;
  for (const auto& [hash, t] : topicByHash) {
    std::string e;
    Put32(e, static_cast<std::uint32_t>(hash));
    Put32(e, topics.offsets[t]);
    context.push_back(e);
  }
  for (std::size_t t = 0; t < doc.topics.size(); ++t) {
    std::string e;
    Put32(e, topics.offsets[t]);  // increasing, so already in order
    titles.push_back(e + doc.topics[t].title + '\0');
  }

  // The index (winhlp32's Index button) lists each topic under its title, a way in that
  // does not depend on clicking hotspots.
  std::map<std::string, std::vector<std::uint32_t>> byTitle;
  for (std::size_t t = 0; t < doc.topics.size(); ++t) {
    byTitle[doc.topics[t].title].push_back(topics.offsets[t]);
  }
  std::vector<std::string> keywords;
  for (const auto& entry : byTitle) keywords.push_back(entry.first);
  std::sort(keywords.begin(), keywords.end(), [](const std::string& a, const std::string& b) {
    auto lower = [](const std::string& s) {
      std::string out = s;
      for (char& c : out) c = (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
      return out;
    };
    return std::make_pair(lower(a), a) < std::make_pair(lower(b), b);
  });
  std::string keywordData, keywordMap;
  std::vector<std::string> keywordEntries;
  for (const std::string& word : keywords) {
    const auto& offsets = byTitle[word];
    std::string e = word + '\0';
    Put16(e, static_cast<unsigned>(offsets.size()));
    Put32(e, Size32(keywordData.size()));
    keywordEntries.push_back(e);
    for (std::uint32_t offset : offsets) Put32(keywordData, offset);
  }
  Put32(keywordMap, 0);  // the one leaf page starts with keyword 0
  Put16(keywordMap, 0);

  const std::map<std::string, std::string> files = {
      {"|CONTEXT", BTree("|CONTEXT", "L4", 0x0002, 0x0800, context)},
      {"|FONT", FontFile(doc)},
      {"|KWBTREE", BTree("|KWBTREE", "F24", 0x0002, 0x0800, keywordEntries)},
      {"|KWDATA", keywordData},
      {"|KWMAP", keywordMap},
      {"|SYSTEM", SystemFile(doc, topics.offsets[0])},
      {"|TOPIC", topics.bytes},
      {"|TTLBTREE", BTree("|TTLBTREE", "Lz", 0x0002, 0x0800, titles)},
  };
  std::string out(kFileHeaderSize, '\0');
  std::vector<std::string> directory;  // std::map keeps the names in strcmp order
  for (const auto& [name, content] : files) {
    std::string e = name + '\0';
    Put32(e, Size32(out.size()));
    directory.push_back(e);
    out += InternalFile(content);
  }
  std::uint32_t directoryStart = Size32(out.size());
  out += InternalFile(BTree("directory", "z4", 0x0402, 0x0400, directory));
  std::string header;
  Put32(header, 0x00035F3F);
  Put32(header, directoryStart);
  Put32(header, kNone);  // no free list
  Put32(header, Size32(out.size()));
  CheckSize(header, 0, kFileHeaderSize, "file header");
  out.replace(0, kFileHeaderSize, header);
  WriteAtomically(path, out);
}

}  // namespace quran

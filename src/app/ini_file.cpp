#include "app/ini_file.h"

#include <filesystem>

#include "base/errors.h"
#include "base/text_file.h"
#include "model/text_rules.h"

namespace glossator {

namespace {

constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";

bool IsQuote(char c) { return c == '"' || c == '\''; }

bool EnclosedInQuotes(std::string_view value) {
  return value.size() > 1 && IsQuote(value.front()) && value.back() == value.front();
}

std::string_view Unquote(std::string_view value) {
  return EnclosedInQuotes(value) ? value.substr(1, value.size() - 2) : value;
}

// Written raw, these values would read back changed: their blanks trimmed or their quotes lost.
bool NeedsQuotes(std::string_view value) {
  if (value.empty()) return false;
  return IsTrimmed(value.front()) || IsTrimmed(value.back()) || EnclosedInQuotes(value);
}

std::string EncodeValue(std::string_view value) {
  if (!NeedsQuotes(value)) return std::string(value);
  std::string quoted;
  quoted.reserve(value.size() + 2);
  quoted += '"';
  quoted += value;
  quoted += '"';
  return quoted;
}

bool HasLineBreak(std::string_view text) { return text.find_first_of("\r\n") != text.npos; }

bool IsStorableSection(std::string_view name) {
  return !name.empty() && Trim(name) == name && name.find(']') == name.npos && !HasLineBreak(name);
}

bool IsStorableKey(std::string_view key) {
  return !key.empty() && Trim(key) == key && key.front() != '[' && key.front() != ';' &&
         key.find('=') == key.npos && !HasLineBreak(key);
}

enum class ReadResult { kMissing, kRead, kUnreadable };

ReadResult ReadWholeFile(const std::string& path, std::string& bytes) {
  std::error_code error;
  std::filesystem::file_status status = std::filesystem::status(path, error);
  if (status.type() == std::filesystem::file_type::not_found) return ReadResult::kMissing;
  return ReadRegularFile(path, bytes) ? ReadResult::kRead : ReadResult::kUnreadable;
}

}  // namespace

IniFile::IniFile(std::string path) : path_(std::move(path)) {
  std::string bytes;
  switch (ReadWholeFile(path_, bytes)) {
    case ReadResult::kRead:
      LoadText(bytes);
      break;
    case ReadResult::kUnreadable:
      // Saving over a file we could not read would throw its content away.
      unreadable_ = true;
      Clear();
      break;
    case ReadResult::kMissing:
      Clear();
      break;
  }
}

void IniFile::Clear() {
  has_bom_ = false;
  blocks_.assign(1, Block{});
  sections_.clear();
  section_order_.clear();
  stray_lines_ = 0;
}

void IniFile::LoadText(std::string_view bytes) {
  Clear();
  if (bytes.substr(0, kByteOrderMark.size()) == kByteOrderMark) {
    has_bom_ = true;
    bytes.remove_prefix(kByteOrderMark.size());
  }
  Section* current = nullptr;  // the section of the last header; not owned
  size_t start = 0;
  int number = 0;
  while (start < bytes.size()) {
    size_t end = bytes.find_first_of("\r\n", start);
    if (end == bytes.npos) end = bytes.size();
    AddLine(bytes.substr(start, end - start), ++number, current);
    // CR LF is one line end; a lone CR or LF is one as well.
    start = end + 1;
    if (end < bytes.size() && bytes[end] == '\r' && start < bytes.size() && bytes[start] == '\n') {
      ++start;
    }
  }
}

void IniFile::AddLine(std::string_view raw, int number, Section*& current) {
  std::string_view line = Trim(raw);
  Block* block = &blocks_.back();
  if (line.empty()) {
    ++block->trailing_blanks;
    return;
  }
  if (line.front() == '[') {
    size_t close = line.find(']');
    if (close != line.npos) {
      std::string_view name = Trim(line.substr(1, close - 1));
      std::string lower = ToLowerAscii(name);
      auto [it, added] = sections_.try_emplace(lower);
      if (added) section_order_.push_back(lower);
      current = &it->second;
      current->blocks.push_back(blocks_.size());
      blocks_.push_back(Block{std::string(raw), {}, 0, false});
      return;
    }
  }
  // Blank lines followed by more text belong inside the block, not behind its new keys.
  block->entries.resize(block->entries.size() + block->trailing_blanks);
  block->trailing_blanks = 0;

  Entry entry{std::string(raw), {}, {}, EntryKind::kText, number};
  size_t equals = line.find('=');
  if (current != nullptr && line.front() != ';' && line.front() != '[' && equals != line.npos) {
    std::string_view key = Trim(line.substr(0, equals));
    if (!key.empty()) {
      entry.key = key;
      KeyRef ref{blocks_.size() - 1, block->entries.size()};
      if (current->keys.try_emplace(ToLowerAscii(key), ref).second) {
        entry.kind = EntryKind::kKey;
        entry.value = Unquote(Trim(line.substr(equals + 1)));
      } else {
        entry.kind = EntryKind::kHiddenKey;
      }
    }
  }
  // Text that is no comment and no key of a section: the file is no INI file as this layer
  // reads one (a Pascal source, a picture).
  if (entry.kind == EntryKind::kText && line.front() != ';') ++stray_lines_;
  block->entries.push_back(std::move(entry));
}

const IniFile::Section* IniFile::FindSection(std::string_view name) const {
  auto it = sections_.find(ToLowerAscii(name));
  return it == sections_.end() ? nullptr : &it->second;
}

std::optional<std::string> IniFile::Find(std::string_view section, std::string_view key) const {
  const Section* found = FindSection(section);
  if (found == nullptr) return std::nullopt;
  auto it = found->keys.find(ToLowerAscii(key));
  if (it == found->keys.end()) return std::nullopt;
  return blocks_[it->second.block].entries[it->second.entry].value;
}

std::string IniFile::ReadString(std::string_view section, std::string_view key,
                                std::string_view default_value) const {
  std::optional<std::string> value = Find(section, key);
  return value ? *value : std::string(default_value);
}

std::vector<std::pair<std::string, std::string>> IniFile::ReadSectionValues(
    std::string_view section) const {
  std::vector<std::pair<std::string, std::string>> values;
  const Section* found = FindSection(section);
  if (found == nullptr) return values;
  values.reserve(found->keys.size());
  for (size_t index : found->blocks) {
    for (const Entry& entry : blocks_[index].entries) {
      if (entry.kind == EntryKind::kKey) values.emplace_back(entry.key, entry.value);
    }
  }
  return values;
}

std::vector<IniFile::KeyLine> IniFile::KeyLines(std::string_view section) const {
  std::vector<KeyLine> lines;
  const Section* found = FindSection(section);
  if (found == nullptr) return lines;
  for (size_t index : found->blocks) {
    for (const Entry& entry : blocks_[index].entries) {
      if (entry.kind == EntryKind::kText) continue;
      KeyLine& line = lines.emplace_back();
      line.key = entry.key;
      line.line = entry.number;
      if (entry.kind == EntryKind::kKey) {
        line.value = entry.value;
      } else {
        const KeyRef& first = found->keys.at(ToLowerAscii(entry.key));
        line.first_line = blocks_[first.block].entries[first.entry].number;
      }
    }
  }
  return lines;
}

IniFile::Section& IniFile::SectionForWriting(std::string_view name) {
  auto [it, created] = sections_.try_emplace(ToLowerAscii(name));
  if (created) {
    section_order_.push_back(it->first);
    it->second.blocks.push_back(blocks_.size());
    std::string header = "[";
    header.append(name).append("]");
    blocks_.push_back(Block{std::move(header), {}, 0, false});
  }
  return it->second;
}

void IniFile::WriteString(std::string_view section, std::string_view key, std::string_view value) {
  if (!IsStorableSection(section) || !IsStorableKey(key) || HasLineBreak(value)) {
    ThrowUnableToWrite();
  }
  Section& target = SectionForWriting(section);
  std::string lower_key = ToLowerAscii(key);
  auto it = target.keys.find(lower_key);
  if (it != target.keys.end()) {
    // The key keeps the spelling it has in the file.
    Entry& entry = blocks_[it->second.block].entries[it->second.entry];
    entry.line = entry.key + "=" + EncodeValue(value);
    entry.value = value;
    return;
  }
  // New keys go behind the last block of the section, so they also come last when read.
  size_t index = target.blocks.back();
  Block& block = blocks_[index];
  target.keys.emplace(std::move(lower_key), KeyRef{index, block.entries.size()});
  std::string line = std::string(key) + "=" + EncodeValue(value);
  block.entries.push_back(
      Entry{std::move(line), std::string(key), std::string(value), EntryKind::kKey, 0});
}

void IniFile::EraseSection(std::string_view section) {
  auto it = sections_.find(ToLowerAscii(section));
  if (it == sections_.end()) return;
  for (size_t index : it->second.blocks) {
    Block& block = blocks_[index];
    block.erased = true;
    block.entries = {};
    block.trailing_blanks = 0;
  }
  std::erase(section_order_, it->first);
  sections_.erase(it);
}

std::string IniFile::Text() const {
  size_t size = has_bom_ ? kByteOrderMark.size() : 0;
  for (const Block& block : blocks_) {
    size += block.header.size() + 2 + 2 * block.trailing_blanks;
    for (const Entry& entry : block.entries) size += entry.line.size() + 2;
  }
  std::string text;
  text.reserve(size);
  if (has_bom_) text += kByteOrderMark;
  for (const Block& block : blocks_) {
    if (block.erased) continue;
    if (!block.header.empty()) text.append(block.header).append("\r\n");
    for (const Entry& entry : block.entries) text.append(entry.line).append("\r\n");
    for (size_t i = 0; i < block.trailing_blanks; ++i) text.append("\r\n");
  }
  return text;
}

void IniFile::Save() const {
  if (unreadable_) ThrowUnableToWrite();
  try {
    WriteWholeFile(path_, Text());
  } catch (const GlosError&) {
    ThrowUnableToWrite();
  }
}

void IniFile::ThrowUnableToWrite() const {
  GlosError error("Unable to write to " + path_);
  error.SetFile(path_);
  throw error;
}

}  // namespace glossator

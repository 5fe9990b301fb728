#include "parser/pascal/xml_doc.h"

#include <algorithm>
#include <cctype>
#include <utility>
#include <vector>

#include "model/text_rules.h"

namespace glossator::pascal {
namespace {

// One XML tag: "<name attributes>", "</name>" or "<name attributes/>".
struct Tag {
  std::string_view name;
  std::string_view attributes;
  bool closing = false;
  bool self_closing = false;
  size_t end = 0;  // just after ">"
};

bool IsNameByte(char c) {
  return std::isalnum(static_cast<unsigned char>(c)) || c == '_' || c == ':' || c == '-';
}

// Reads the tag that opens at text[at] == '<'; false when none does (a "<" in running text).
bool ReadTag(std::string_view text, size_t at, Tag* tag) {
  size_t p = at + 1;
  if (p < text.size() && text[p] == '/') {
    tag->closing = true;
    ++p;
  }
  size_t name_start = p;
  while (p < text.size() && IsNameByte(text[p])) ++p;
  if (p == name_start) return false;
  tag->name = text.substr(name_start, p - name_start);
  // A tag holds no "<"; stopping there keeps a run of "<" without ">" linear.
  size_t close = text.find_first_of("<>", p);
  if (close == std::string_view::npos || text[close] == '<') return false;
  std::string_view attributes = text.substr(p, close - p);
  if (!attributes.empty() && attributes.back() == '/') {
    tag->self_closing = true;
    attributes.remove_suffix(1);
  }
  tag->attributes = attributes;
  tag->end = close + 1;
  return true;
}

// The value of `name="value"` (or 'value') among the attributes; empty when absent.
std::string_view Attribute(std::string_view attributes, std::string_view name) {
  for (size_t at = attributes.find(name); at != std::string_view::npos;
       at = attributes.find(name, at + 1)) {
    bool starts = at == 0 || !IsNameByte(attributes[at - 1]);
    size_t p = at + name.size();
    while (p < attributes.size() && attributes[p] == ' ') ++p;
    if (!starts || p >= attributes.size() || attributes[p] != '=') continue;
    ++p;
    while (p < attributes.size() && attributes[p] == ' ') ++p;
    if (p >= attributes.size() || (attributes[p] != '"' && attributes[p] != '\'')) continue;
    size_t close = attributes.find(attributes[p], p + 1);
    if (close == std::string_view::npos) return {};
    return attributes.substr(p + 1, close - p - 1);
  }
  return {};
}

// Collects the parts of one comment and writes them out in the order the pages expect.
class Converter {
 public:
  std::string Run(std::string_view xml) {
    size_t pos = 0;
    while (pos < xml.size()) {
      size_t lt = xml.find('<', pos);
      loose_.append(
          xml.substr(pos, lt == std::string_view::npos ? std::string_view::npos : lt - pos));
      if (lt == std::string_view::npos) break;
      Tag tag;
      if (!ReadTag(xml, lt, &tag)) {
        loose_ += '<';
        pos = lt + 1;
        continue;
      }
      pos = TopLevel(xml, lt, tag);
    }
    return Assemble();
  }

 private:
  // Handles the element that starts with `tag` at xml[at]; returns where reading goes on.
  size_t TopLevel(std::string_view xml, size_t at, const Tag& tag) {
    if (tag.closing) return tag.end;  // a stray closing tag
    if (tag.self_closing) {
      if (tag.name == "see" || tag.name == "seealso") {
        AddSee(Attribute(tag.attributes, "cref"));
      } else {
        loose_ += Inline(xml.substr(at, tag.end - at));
      }
      return tag.end;
    }
    std::string closer = "</" + std::string(tag.name) + ">";
    size_t close = xml.find(closer, tag.end);
    size_t next = close == std::string_view::npos ? xml.size() : close + closer.size();
    std::string_view content =
        xml.substr(tag.end, (close == std::string_view::npos ? xml.size() : close) - tag.end);
    std::string text(Trim(Inline(content)));
    if (tag.name == "summary") {
      summary_ += text;
    } else if (tag.name == "param" || tag.name == "typeparam") {
      params_.emplace_back(std::string(Attribute(tag.attributes, "name")), text);
    } else if (tag.name == "returns") {
      returns_ = text;
    } else if (tag.name == "exception") {
      paragraphs_.push_back("<p>Raises " + std::string(Attribute(tag.attributes, "cref")) + ": " +
                            text + "</p>");
    } else if (tag.name == "remarks" || tag.name == "value" || tag.name == "example" ||
               tag.name == "para") {
      paragraphs_.push_back("<p>" + text + "</p>");
    } else if (tag.name == "seealso" || tag.name == "see") {
      AddSee(Attribute(tag.attributes, "cref"));
      loose_ += text;
    } else if (tag.name == "c" || tag.name == "code") {
      loose_ += "<code>" + text + "</code>";
    } else {
      loose_ += Inline(xml.substr(at, next - at));
    }
    return next;
  }

  // The markup inside a section's text, converted.
  std::string Inline(std::string_view text) {
    std::string out;
    size_t pos = 0;
    while (pos < text.size()) {
      size_t lt = text.find('<', pos);
      out.append(
          text.substr(pos, lt == std::string_view::npos ? std::string_view::npos : lt - pos));
      if (lt == std::string_view::npos) break;
      Tag tag;
      if (!ReadTag(text, lt, &tag)) {
        out += '<';
        pos = lt + 1;
        continue;
      }
      out += InlineTag(text.substr(lt, tag.end - lt), tag);
      pos = tag.end;
    }
    return out;
  }

  std::string InlineTag(std::string_view raw, const Tag& tag) {
    if (tag.name == "para") return tag.closing ? "</p>" : "<p>";
    if (tag.name == "c" || tag.name == "code") return tag.closing ? "</code>" : "<code>";
    if (tag.name == "see" || tag.name == "seealso") {
      if (tag.closing) return {};
      std::string_view cref = Attribute(tag.attributes, "cref");
      if (!cref.empty()) {
        AddSee(cref);
        return std::string(cref);
      }
      return std::string(Attribute(tag.attributes, "langword"));
    }
    if (tag.name == "paramref" || tag.name == "typeparamref") {
      return "<code>" + std::string(Attribute(tag.attributes, "name")) + "</code>";
    }
    return std::string(raw);
  }

  void AddSee(std::string_view target) {
    if (target.empty()) return;
    std::string name(target);
    // "T:Unit.TFoo" (a kind prefix, as some tools write it) names TFoo's full name.
    if (name.size() > 2 && name[1] == ':') name.erase(0, 2);
    if (std::find(sees_.begin(), sees_.end(), name) == sees_.end()) sees_.push_back(name);
  }

  std::string Assemble() const {
    std::string out(Trim(summary_));
    std::string_view loose = Trim(loose_);
    auto add = [&out](std::string_view part) {
      if (!out.empty()) out += "\r\n";
      out.append(part);
    };
    if (!loose.empty()) add(loose);
    for (const std::string& paragraph : paragraphs_) add(paragraph);
    for (const auto& [name, text] : params_) add("@param " + name + " " + text);
    if (!returns_.empty()) add("@return " + returns_);
    for (const std::string& see : sees_) add("@see " + see);
    return out;
  }

  std::string summary_;
  std::string loose_;
  std::vector<std::string> paragraphs_;
  std::vector<std::pair<std::string, std::string>> params_;
  std::string returns_;
  std::vector<std::string> sees_;
};

}  // namespace

std::string XmlDocToTags(std::string_view xml) { return Converter().Run(xml); }

}  // namespace glossator::pascal

// The pieces of a page that show one item: links to it, its declaration, badges, comment.

#include <string>

#include "html/site/comment_html.h"
#include "html/site/doc_tags.h"
#include "html/site/site_html.h"
#include "html/site/site_render.h"
#include "model/text_rules.h"

namespace glossator {
namespace {

// The source link of an item: the pattern with {path} (the file relative to the source root,
// percent-encoded) and {line}. Nothing when there is no pattern, file or line.
void AppendSourceLink(const PageContext& ctx, const DocItem& item, std::string& out) {
  const SiteOptions& options = ctx.options;
  if (options.source_url.empty() || item.file.empty() || item.line <= 0) return;
  if (!IsSafeUrl(options.source_url)) return;
  std::string_view path = item.file;
  if (!options.source_root.empty() && StartsWith(path, options.source_root)) {
    path.remove_prefix(options.source_root.size());
  }
  std::string url;
  std::string_view pattern = options.source_url;
  for (size_t open = pattern.find('{'); open != std::string_view::npos; open = pattern.find('{')) {
    url.append(pattern.substr(0, open));
    std::string_view rest = pattern.substr(open);
    if (StartsWith(rest, "{path}")) {
      AppendUrlPath(url, path);
      pattern.remove_prefix(open + 6);
    } else if (StartsWith(rest, "{line}")) {
      AppendNumber(url, item.line);
      pattern.remove_prefix(open + 6);
    } else {
      url += '{';
      pattern.remove_prefix(open + 1);
    }
  }
  url.append(pattern);
  out.append(" <a class=src href=\"");
  AppendText(out, url);
  out.append("\">source</a>");
}

void AppendSeeTarget(const PageContext& ctx, Scope scope, std::string_view target,
                     std::string& out) {
  std::vector<std::string_view> parts;
  size_t start = 0;
  for (size_t dot = target.find('.'); dot != std::string_view::npos && parts.size() < 15;
       dot = target.find('.', start)) {
    parts.push_back(target.substr(start, dot - start));
    start = dot + 1;
  }
  parts.push_back(target.substr(start));
  std::vector<uint32_t> found(parts.size());
  ScopeLinks(ctx, scope).Resolve(parts, found);
  out.append("<code>");
  if (found.back() == kNone) {
    AppendText(out, target);
  } else {
    AppendLink(ctx, found.back(), target, out);
  }
  out.append("</code>");
}

void AppendTags(const PageContext& ctx, Scope scope, const DocTags& tags, std::string& out) {
  if (tags.params.empty() && tags.returns.empty() && tags.see.empty()) return;
  out.append("<dl class=tags>\n");
  if (!tags.params.empty()) out.append("<dt>Parameters\n");
  for (const DocTags::Named& param : tags.params) {
    out.append("<dd><code>");
    AppendText(out, param.name);
    out.append("</code> ");
    AppendSafeHtml(out, param.text);
    out.append("\n");
  }
  if (!tags.returns.empty()) out.append("<dt>Returns\n");
  for (std::string_view text : tags.returns) {
    out.append("<dd>");
    AppendSafeHtml(out, text);
    out.append("\n");
  }
  if (!tags.see.empty()) out.append("<dt>See also\n");
  for (const DocTags::Named& see : tags.see) {
    out.append("<dd>");
    AppendSeeTarget(ctx, scope, see.name, out);
    if (!see.text.empty()) out.append(" ");
    AppendSafeHtml(out, see.text);
    out.append("\n");
  }
  out.append("</dl>\n");
}

// The values of an enumeration, each with its anchor, its ordinal and its comment.
void AppendValues(const PageContext& ctx, uint32_t entry, std::string& out) {
  out.append("<ul class=values>\n");
  for (uint32_t v = ctx.index.At(entry).first_child; v != kNone; v = ctx.index.At(v).next_sibling) {
    const EnumValue& value = *ctx.index.At(v).value;
    out.append("<li id=");
    AppendAnchor(ctx.index, v, out);
    out.append("><code>");
    AppendText(out, value.name);
    if (!value.ordinal.empty()) out.append(" = ");
    AppendText(out, value.ordinal);
    out.append("</code>");
    if (!value.comment.empty()) out.append(" ");
    AppendSafeHtml(out, value.comment);
    out.append("\n");
  }
  out.append("</ul>\n");
}

}  // namespace

void NoteLookup(const PageContext& ctx, std::string_view name) {
  if (ctx.looked_up != nullptr) ctx.looked_up->push_back(ToLowerAscii(LookupName(name)));
}

void ScopeLinks::Resolve(std::span<const std::string_view> parts,
                         std::span<uint32_t> targets) const {
  for (std::string_view part : parts) NoteLookup(ctx_, part);
  ctx_.index.ResolveDotted(scope_, parts, targets);
}

void ScopeLinks::AppendHref(uint32_t target, std::string& out) const {
  glossator::AppendHref(ctx_, target, out);
}

void AppendHref(const PageContext& ctx, uint32_t entry, std::string& out) {
  const Entry& e = ctx.index.At(entry);
  if (e.own_page != kNone) {
    out.append(ctx.index.File(e.own_page));
    return;
  }
  if (e.page != ctx.page) out.append(ctx.index.File(e.page));
  out += '#';
  AppendAnchor(ctx.index, entry, out);
}

void AppendLink(const PageContext& ctx, uint32_t entry, std::string_view text, std::string& out) {
  // Unquoted: the site's file names and anchors are letters, digits, "_", ".", "-" and "#".
  out.append("<a href=");
  AppendHref(ctx, entry, out);
  out.append(">");
  AppendText(out, text);
  out.append("</a>");
}

void AppendQualifiedName(const SiteIndex& index, uint32_t entry, std::string& out) {
  const Entry& e = index.At(entry);
  if (e.parent != kNone) {
    AppendQualifiedName(index, e.parent, out);
    out += '.';
  }
  out.append(e.name);
}

std::string_view KindLabel(const Entry& entry) {
  if (entry.type == EntryType::kUnit) return "unit";
  if (entry.type == EntryType::kEnumValue) return "enum value";
  ItemKind kind = entry.kind;
  if (kind == ItemKind::kProcedureType) return "procedure type";
  if (kind == ItemKind::kAlias) return "type";
  return KindName(kind);
}

void AppendBadges(const DocItem& item, std::string& out) {
  auto badge = [&out](std::string_view cls, std::string_view text) {
    out.append(" <span class=\"badge").append(cls).append("\">");
    AppendText(out, text);
    out.append("</span>");
  };
  if (!item.visibility.empty() && item.visibility != "public") badge("", item.visibility);
  if (item.class_member) badge("", "class");
  if (item.hints.deprecated) badge(" dep", "deprecated");
  if (item.hints.platform) badge("", "platform");
  if (item.hints.experimental) badge(" exp", "experimental");
  if (item.hints.library) badge("", "library");
}

void AppendDeclarationBlock(const PageContext& ctx, uint32_t entry, std::string& out) {
  const Entry& e = ctx.index.At(entry);
  out.append("<pre>");
  AppendDeclaration(out, e.item->declaration, e.item->kind,
                    ScopeLinks(ctx, ctx.index.ScopeOf(entry)));
  out.append("</pre>\n");
}

void AppendDoc(const PageContext& ctx, uint32_t entry, std::string_view comment, const Hints& hints,
               std::string& out) {
  DocTags tags = SplitDocTags(comment);
  if (hints.deprecated || tags.deprecated) {
    out.append("<p class=dep><strong>Deprecated.</strong> ");
    AppendText(out, hints.deprecated_message);
    if (!hints.deprecated_message.empty() && !tags.deprecated_text.empty()) out.append("; ");
    AppendSafeHtml(out, tags.deprecated_text);
    out.append("</p>\n");
  }
  if (!tags.description.empty()) {
    out.append("<div class=doc>");
    AppendDocHtml(out, tags.description);
    out.append("</div>\n");
  }
  Scope scope = ctx.index.ScopeOf(entry);
  // An item's own members are in scope for its "@see" targets.
  if (ctx.index.IsClassLikeEntry(entry)) scope.cls = entry;
  AppendTags(ctx, scope, tags, out);
}

void AppendItem(const PageContext& ctx, uint32_t entry, std::string& out) {
  const Entry& e = ctx.index.At(entry);
  const DocItem& item = *e.item;
  out.append("<section id=");
  size_t id_start = out.size();
  AppendAnchor(ctx.index, entry, out);
  size_t id_size = out.size() - id_start;
  out.append(">\n<h3><a href=#");
  out.reserve(out.size() + id_size + 64);  // the id is copied from the page itself
  out.append(out, id_start, id_size);
  out.append(">");
  AppendText(out, item.name);
  out.append("</a>");
  AppendBadges(item, out);
  AppendSourceLink(ctx, item, out);
  out.append("</h3>\n");
  AppendDeclarationBlock(ctx, entry, out);
  if (e.first_child != kNone && item.kind == ItemKind::kEnum) AppendValues(ctx, entry, out);
  std::string both;
  std::string_view comment = item.comment;
  if (!item.long_comment.empty() && item.long_comment != item.comment) {
    both.append(item.comment).append(item.comment.empty() ? "" : "\n\n").append(item.long_comment);
    comment = both;
  }
  AppendDoc(ctx, entry, comment, item.hints, out);
  out.append("</section>\n");
}

void AppendSummary(std::string_view comment, std::string& out) {
  std::string_view sentence = FirstSentence(comment);
  if (!sentence.empty()) AppendSafeHtml(out, sentence);
}

void AppendClassSummaries(const PageContext& ctx, std::span<const uint32_t> entries,
                          std::string& out) {
  if (entries.empty()) return;
  out.append("<dl class=summary>\n");
  for (uint32_t entry : entries) {
    const Entry& e = ctx.index.At(entry);
    out.append("<dt id=");
    AppendAnchor(ctx.index, entry, out);
    out.append(">");
    AppendLink(ctx, entry, e.name, out);
    out.append(" <span class=kind>").append(KindLabel(e)).append("</span>");
    AppendBadges(*e.item, out);
    out.append("\n<dd>");
    AppendSummary(e.item->comment, out);
    out.append("\n");
  }
  out.append("</dl>\n");
}

}  // namespace glossator

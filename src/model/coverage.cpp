#include "model/coverage.h"

#include <algorithm>
#include <cstdio>

#include "model/doc_tree.h"
#include "model/uXMLparser.h"

namespace glossator {

namespace {

void Count(Coverage::Share& share, bool documented) {
  ++share.all;
  if (documented) ++share.documented;
}

std::string ShareText(const Coverage::Share& share) {
  return std::to_string(share.documented) + "/" + std::to_string(share.all);
}

std::string PercentText(double percent) {
  char text[16];
  std::snprintf(text, sizeof text, "%.1f%%", percent);
  return text;
}

void Pad(std::string& line, const std::string& cell, size_t width, bool right) {
  size_t fill = width > cell.size() ? width - cell.size() : 0;
  if (right) line.append(fill, ' ');
  line += cell;
  if (!right) line.append(fill, ' ');
}

}  // namespace

Coverage::Share Coverage::Overall() const {
  return {classes.documented + members.documented + routines.documented + constants.documented,
          classes.all + members.all + routines.all + constants.all};
}

double Coverage::Percent() const {
  Share overall = Overall();
  return overall.all == 0 ? 100.0 : 100.0 * overall.documented / overall.all;
}

void Coverage::Add(const Coverage& other) {
  for (auto [mine, theirs] :
       {std::pair{&classes, &other.classes}, std::pair{&members, &other.members},
        std::pair{&routines, &other.routines}, std::pair{&constants, &other.constants}}) {
    mine->documented += theirs->documented;
    mine->all += theirs->all;
  }
}

std::vector<Coverage> MeasureCoverage(const DocTreeReader& tree) {
  std::vector<Coverage> rows;
  rows.reserve(static_cast<size_t>(tree.ParsedUnitCount()));
  for (int k = 0; k < tree.ParsedUnitCount(); ++k) {
    const TXMLNode* unit = tree.ParsedUnit(k);
    Coverage row;
    row.unit = unit->Name();
    row.file = tree.SourceFile(unit);
    for (int c = 0; c < tree.UnitClassCount(unit); ++c) {
      Count(row.classes, !tree.UnitClassComment(unit, c).empty());
      for (int m = 0; m < tree.MethodCount(unit, c); ++m) {
        Count(row.members, !tree.MethodComment(unit, c, m).empty() ||
                               !tree.MethodLongComment(unit, c, m).empty());
      }
      for (int f = 0; f < tree.FieldCount(unit, c); ++f) {
        Count(row.members, !tree.FieldComment(unit, c, f).empty());
      }
    }
    for (int r = 0; r < tree.UnitFunctionCount(unit); ++r) {
      Count(row.routines, !tree.UnitFunctionComment(unit, r).empty() ||
                              !tree.UnitFunctionLongComment(unit, r).empty());
    }
    for (int n = 0; n < tree.UnitConstantCount(unit); ++n) {
      Count(row.constants, !tree.UnitConstantComment(unit, n).empty());
    }
    rows.push_back(std::move(row));
  }
  return rows;
}

Coverage TotalCoverage(const std::vector<Coverage>& rows) {
  Coverage total;
  total.unit = "total";
  for (const Coverage& row : rows) total.Add(row);
  return total;
}

std::string CoverageTable(const std::vector<Coverage>& rows) {
  std::vector<const Coverage*> lines;
  for (const Coverage& row : rows) lines.push_back(&row);
  Coverage total = TotalCoverage(rows);
  lines.push_back(&total);

  const char* headers[] = {"unit", "classes", "members", "routines", "constants", "documented"};
  std::vector<std::vector<std::string>> cells;
  cells.push_back(std::vector<std::string>(std::begin(headers), std::end(headers)));
  for (const Coverage* row : lines) {
    cells.push_back({row->unit, ShareText(row->classes), ShareText(row->members),
                     ShareText(row->routines), ShareText(row->constants),
                     PercentText(row->Percent())});
  }
  std::vector<size_t> widths(6, 0);
  for (const auto& line : cells) {
    for (size_t k = 0; k < line.size(); ++k) widths[k] = std::max(widths[k], line[k].size());
  }
  std::string table;
  for (const auto& line : cells) {
    std::string text;
    for (size_t k = 0; k < line.size(); ++k) {
      if (k > 0) text += "  ";
      Pad(text, line[k], widths[k], k > 0);
    }
    table += text + "\n";
  }
  return table;
}

}  // namespace glossator

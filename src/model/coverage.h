#ifndef GLOSSATOR_MODEL_COVERAGE_H_
#define GLOSSATOR_MODEL_COVERAGE_H_

#include <string>
#include <vector>

namespace glossator {

class DocTreeReader;

// How much of a unit's interface carries documentation: for each kind, the items with a
// non-empty comment and all items. A method or routine counts as documented by its comment in
// the interface or the one above its implementation, as its page shows either.
struct Coverage {
  struct Share {
    int documented = 0;
    int all = 0;
  };
  std::string unit;  // the unit's name; "total" in the sum
  std::string file;  // the file it was read from; empty in the sum
  Share classes;
  Share members;  // methods, properties and fields of the unit's classes
  Share routines;
  Share constants;

  // The four kinds together.
  Share Overall() const;
  // Overall() as a percentage; 100 for a unit with nothing to document.
  double Percent() const;
  void Add(const Coverage& other);
};

// One row per parsed unit, in the tree's order.
std::vector<Coverage> MeasureCoverage(const DocTreeReader& tree);

// The sum of `rows`, named "total".
Coverage TotalCoverage(const std::vector<Coverage>& rows);

// The table a batch run prints: a header line, one line per row, then the total, columns
// aligned, shares as "documented/all" and the percentage with one decimal.
std::string CoverageTable(const std::vector<Coverage>& rows);

}  // namespace glossator

#endif  // GLOSSATOR_MODEL_COVERAGE_H_

#ifndef GLOSSATOR_TESTS_SITE_FIXTURE_UNITS_H_
#define GLOSSATOR_TESTS_SITE_FIXTURE_UNITS_H_

#include <cstddef>
#include <string>
#include <vector>

#include "model/unit_model.h"

namespace glossator {

// A small library written as unit models: four units that use every kind of item, members of
// every visibility, overloads, generics, nested types, hint directives, comments with tags and
// with hostile HTML, an ancestor outside the set, and a unit named like one of the site's own
// pages ("Index").
std::vector<DocUnit> FixtureUnits();

// How big a made-up library is.
struct SyntheticSize {
  size_t units = 3000;
  size_t classes = 0;  // class-like items in all; 0: about 4.2 per unit
  size_t members = 0;  // members in all; 0: 16 per class-like item
};

// A made-up library of realistic shape for measuring: units with uses clauses, classes that
// inherit across units, enums, constants, routines, members with comments and tags. The same
// size always gives the same units.
std::vector<DocUnit> SyntheticUnits(const SyntheticSize& size);

}  // namespace glossator

#endif  // GLOSSATOR_TESTS_SITE_FIXTURE_UNITS_H_

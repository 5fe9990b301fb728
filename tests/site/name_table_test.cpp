#include "html/site/name_table.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "dice.h"
#include "html/site/declaration_markup.h"
#include "html/site/site_index.h"
#include "model/text_rules.h"
#include "site_test_units.h"

namespace glossator {
namespace {

// Names are found in any ASCII case, at every length around the eight bytes hashed at a time,
// and only the letters A-Z fold: the bytes beside them and bytes above 0x7F stay themselves.
TEST(NameTable, FindsAnyAsciiCaseAndNothingElse) {
  struct Row {
    std::string stored;
    std::string asked;
    bool found;
  };
  std::vector<Row> rows = {
      {"TControl", "tcontrol", true},
      {"TCustomButtonControl", "TCUSTOMBUTTONCONTROL", true},
      {"a", "A", true},
      {"AZaz", "azAZ", true},
      {"@[`{", "@[`{", true},
      {"@", "`", false},  // 0x40 and 0x60 differ by the case bit but are no letters
      {"[", "{", false},
      {"Z", "z", true},
      {"\xC0\xC9", "\xE0\xE9", false},  // Latin-1 capitals are not ASCII letters
      {"Create", "Creat", false},
      {"Create", "Created", false},
      {"GetTextLen", "GetTextLem", false},
  };
  // Every length from 1 to 20 in both cases, each with its own value.
  for (size_t n = 1; n <= 20; ++n) {
    std::string name;
    for (size_t i = 0; i < n; ++i) name += static_cast<char>('A' + (i * 7) % 26);
    rows.push_back({name, ToLowerAscii(name), true});
    rows.push_back({name + "_", name, false});
  }
  for (size_t k = 0; k < rows.size(); ++k) {
    const Row& row = rows[k];
    NameTable table;
    table.Insert(7, row.stored, static_cast<uint32_t>(k));
    SCOPED_TRACE(row.stored + " / " + row.asked);
    EXPECT_EQ(table.Find(7, row.asked), row.found ? k : NameTable::kMissing);
    EXPECT_EQ(table.Find(8, row.stored), NameTable::kMissing) << "another scope";
    if (row.found) {
      EXPECT_EQ(NameTable::Key(row.stored).hash, NameTable::Key(row.asked).hash);
    }
  }
}

// Reserved words in any case, and the words beside them that are none: the first letter and the
// length rule many out before the list is searched.
TEST(ReservedWords, AnyCaseAndNothingElse) {
  const std::pair<const char*, bool> rows[] = {
      {"begin", true},
      {"BEGIN", true},
      {"Begin", true},
      {"end", true},
      {"xor", true},
      {"as", true},
      {"implementation", true},
      {"threadvar", true},
      {"resourcestring", true},
      {"beginx", false},
      {"beg", false},
      {"a", false},
      {"TControl", false},
      {"Integer", false},
      {"&begin", false},
      {"_end", false},
      {"", false},
      {"implementationsX", false},
      {"\xC4nd", false},
  };
  for (const auto& [word, reserved] : rows) EXPECT_EQ(IsReservedWord(word), reserved) << word;
}

// The A-Z order of the entries: by name without case, then by entry, however the names agree or
// differ in their first sixteen bytes (the sort packs those into two numbers) and however many
// share a name.
TEST(NameOrder, ByNameWithoutCaseThenByEntry) {
  std::vector<std::string> names = {"Create", "create",   "CREATE",   "Items", "_Hidden",
                                    "9Lives", "\xC4rger", "\xE4rger", "Zeta",  "zeta",
                                    "a",      "A",        "ab",       "Ab"};
  const std::string prefix = "TVeryLongPrefix_";  // sixteen bytes
  for (std::string tail : {"b", "B", "a", "", "ab", "A", "aa", "SecondWord_z", "secondword_Y",
                           "SecondWord_", "SecondWord_yy"}) {
    names.push_back(prefix + tail);
  }
  for (std::string tail : {"Eight", "EIGHT", "eight7", "Eigh"}) names.push_back("Prefix" + tail);
  Dice dice(7);
  for (int i = 0; i < 300; ++i) names.push_back(names[dice.Below(names.size())]);
  std::vector<DocItem> items;
  for (const std::string& name : names) items.push_back(TestItem(ItemKind::kConstant, name));
  std::vector<DocUnit> units = {TestUnit("U1", {}, items), TestUnit("U2", {}, items)};
  for (int threads : {1, 2}) {
    SiteIndex index(units, false, threads);
    const std::vector<uint32_t>& order = index.ByName();
    ASSERT_EQ(order.size(), index.Entries().size());
    for (size_t k = 1; k < order.size(); ++k) {
      std::string_view a = index.At(order[k - 1]).name;
      std::string_view b = index.At(order[k]).name;
      bool in_order = FoldedLess(a, b) || (!FoldedLess(b, a) && order[k - 1] < order[k]);
      EXPECT_TRUE(in_order) << k << ": " << a << " (" << order[k - 1] << ") before " << b << " ("
                            << order[k] << ")";
    }
  }
}

}  // namespace
}  // namespace glossator

#include "parser/index_sort.h"

#include <unicode/coll.h>
#include <unicode/locid.h>
#include <unicode/unistr.h>
#include <unicode/utf8.h>

#include <cstdlib>
#include <utility>

#include "base/errors.h"

namespace glossator {

namespace {

// Windows-1252 bytes 0x80..0x9F; the rest of the code page equals Latin-1. Unassigned bytes map
// to themselves, as Windows does.
constexpr char16_t kCp1252High[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

bool DecodeUtf8(std::string_view name, std::u16string& out) {
  const uint8_t* s = reinterpret_cast<const uint8_t*>(name.data());
  int32_t length = static_cast<int32_t>(name.size());
  int32_t i = 0;
  while (i < length) {
    UChar32 c;
    U8_NEXT(s, i, length, c);
    if (c < 0) return false;
    if (c <= 0xFFFF) {
      out.push_back(static_cast<char16_t>(c));
    } else {
      out.push_back(static_cast<char16_t>(U16_LEAD(c)));
      out.push_back(static_cast<char16_t>(U16_TRAIL(c)));
    }
  }
  return true;
}

std::string EnvValue(const char* name) {
  const char* value = std::getenv(name);
  return value == nullptr ? std::string() : std::string(value);
}

}  // namespace

std::u16string DecodeName(std::string_view name) {
  std::u16string out;
  out.reserve(name.size());
  if (DecodeUtf8(name, out)) return out;
  out.clear();
  for (unsigned char c : name) {
    out.push_back((c >= 0x80 && c < 0xA0) ? kCp1252High[c - 0x80] : static_cast<char16_t>(c));
  }
  return out;
}

std::string IndexCollator::LocaleFromEnvironment() {
  std::string locale;
  for (const char* var : {"LC_ALL", "LC_COLLATE", "LANG"}) {
    locale = EnvValue(var);
    if (!locale.empty()) break;
  }
  // "de_DE.UTF-8@euro" -> "de_DE"
  size_t cut = locale.find_first_of(".@");
  if (cut != std::string::npos) locale.resize(cut);
  if (locale == "C" || locale == "POSIX") locale.clear();
  return locale;
}

struct IndexCollator::Impl {
  std::unique_ptr<icu::Collator> collator;
};

IndexCollator::IndexCollator() : IndexCollator(LocaleFromEnvironment()) {}

IndexCollator::IndexCollator(const std::string& locale_name) : impl_(std::make_unique<Impl>()) {
  std::unique_ptr<icu::Collator>& collator = impl_->collator;
  UErrorCode status = U_ZERO_ERROR;
  icu::Locale locale =
      locale_name.empty() ? icu::Locale::getRoot() : icu::Locale(locale_name.c_str());
  collator.reset(icu::Collator::createInstance(locale, status));
  if (U_FAILURE(status) || !collator) {
    status = U_ZERO_ERROR;
    collator.reset(icu::Collator::createInstance(icu::Locale::getRoot(), status));
  }
  if (U_FAILURE(status) || !collator) throw GlosError("Cannot create the collator for the index");
  collator->setStrength(icu::Collator::SECONDARY);
}

IndexCollator::~IndexCollator() = default;

std::string IndexCollator::Key(std::string_view name) const {
  icu::Collator* collator = impl_->collator.get();
  std::u16string text = DecodeName(name);
  icu::UnicodeString unicode(false, text.data(), static_cast<int32_t>(text.size()));
  std::string key(text.size() * 2 + 16, '\0');
  int32_t needed = collator->getSortKey(unicode, reinterpret_cast<uint8_t*>(key.data()),
                                        static_cast<int32_t>(key.size()));
  if (needed > static_cast<int32_t>(key.size())) {
    key.assign(static_cast<size_t>(needed), '\0');
    needed = collator->getSortKey(unicode, reinterpret_cast<uint8_t*>(key.data()), needed);
  }
  // The key ends in a NUL that is not part of it.
  key.resize(needed > 0 ? static_cast<size_t>(needed - 1) : 0);
  return key;
}

namespace {

void QuickSort(std::vector<IndexItem>& items, long left, long right) {
  // Each partition leaves two disjoint ranges that are sorted independently of each other, so
  // sorting the smaller one first (recursively) and the larger one in the loop gives the same
  // result as left-then-right while keeping the stack shallow.
  while (left < right) {
    long i = left;
    long j = right;
    long p = left + (right - left) / 2;
    do {
      while (items[i].key < items[p].key) ++i;
      while (items[p].key < items[j].key) --j;
      if (i <= j) {
        std::swap(items[i], items[j]);
        if (p == i) {
          p = j;
        } else if (p == j) {
          p = i;
        }
        ++i;
        --j;
      }
    } while (i <= j);
    if (j - left < right - i) {
      if (left < j) QuickSort(items, left, j);
      left = i;
    } else {
      if (i < right) QuickSort(items, i, right);
      right = j;
    }
  }
}

}  // namespace

void IndexSort(std::vector<IndexItem>& items) {
  if (items.size() > 1) QuickSort(items, 0, static_cast<long>(items.size()) - 1);
}

}  // namespace glossator

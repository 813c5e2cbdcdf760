// The progress dialog's format text for the product's own name and others.
#include "dispatcher/core/dialog_text.h"

#include <gtest/gtest.h>

#include <string>

namespace tw::dispatcher {
namespace {

const std::string kTemplate =
    "Tamblewright\xA9 bereitet die Installation von\n%1 vor. Einen Moment bitte...";

std::string format(const std::string& templ, const char* name) {
  std::string buffer = templ;
  return dialogTextFormat(buffer.data(), name);
}

TEST(DialogText, ProductNameInAnyCaseStartsWithSetupAndTwoBlanks) {
  for (const char* name : {"Tamblewright", "TAMBLEWRIGHT", "tAmBlEwRiGhT"}) {
    EXPECT_EQ("Setup  bereitet die Installation von\n%1 vor. Einen Moment bitte...",
              format(kTemplate, name))
        << name;
  }
}

TEST(DialogText, OtherNamesKeepTheWholeTemplate) {
  for (const char* name : {"Tamblewright 2", "Tamblewrigh", "", "Zeichenprogramm"})
    EXPECT_EQ(kTemplate, format(kTemplate, name)) << name;
}

TEST(DialogText, ShortTemplateIsNeverWrittenPast) {
  EXPECT_EQ("%1 vor", format("%1 vor", "Tamblewright"));
  EXPECT_EQ("Setup ", format("1234567890123", "Tamblewright").substr(0, 6));
}

}  // namespace
}  // namespace tw::dispatcher

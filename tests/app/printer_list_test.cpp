// The default printer's prefix.
#include "app/printer_list.h"

#include <gtest/gtest.h>

#include "fakes/fake_platform.h"

namespace pagewire::app {
namespace {

TEST(DefaultPrinterPrefix, ReadsTheWindowsDeviceEntry) {
  fakes::FakeSystemFacts facts;
  EXPECT_EQ(DefaultPrinterPrefix(facts), "");
  facts.profile["windows/device"] = "RawOne,winspool,CUPS:RawOne";
  EXPECT_EQ(DefaultPrinterPrefix(facts), "RawOne");
}

}  // namespace
}  // namespace pagewire::app

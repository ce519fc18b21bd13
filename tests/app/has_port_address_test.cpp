#include "app/has_port_address.h"

#include <gtest/gtest.h>

#include "fakes/fake_platform.h"

namespace pagewire::app {
namespace {

const std::string kMonitors = "System\\CurrentControlSet\\Control\\Print\\Monitors\\";

void SetText(fakes::FakeRegistry& registry, const std::string& key, const std::string& name,
             const std::string& text) {
  std::vector<std::uint8_t> data(text.begin(), text.end());
  data.push_back(0);
  registry.keys[key][name] = {1, data};
}

struct PortCase {
  const char* name;
  std::uint32_t platformId;
  std::uint32_t major;
  std::function<void(fakes::FakeRegistry&)> arrange;
  bool expected;
};

class HasPortAddressTest : public ::testing::TestWithParam<PortCase> {};

TEST_P(HasPortAddressTest, ReadsTheRowOfThePlatform) {
  fakes::FakePlatform fake;
  fake.printers.AddPrinter("Office", "Model 5", "IP_10.0.0.7");
  fake.systemFacts.version = {GetParam().platformId, GetParam().major};
  GetParam().arrange(fake.registry);
  EXPECT_EQ(HasPortAddress(fake.platform, "Office"), GetParam().expected);
  EXPECT_EQ(fake.registry.openKeys(), 0);
}

const std::string kStd = kMonitors + "Standard TCP/IP Port\\Ports\\IP_10.0.0.7";
const std::string kLpr = kMonitors + "LPR Port\\Ports\\IP_10.0.0.7";
const std::string k9x = kMonitors + "OV TCP/IP DPU Port\\Ports";

INSTANTIATE_TEST_SUITE_P(
    Rows, HasPortAddressTest,
    ::testing::Values(
        PortCase{"StandardIp", 2, 5, [](auto& r) { SetText(r, kStd, "IPAddress", "10.0.0.7"); }, true},
        PortCase{"StandardHostNameOnly", 2, 6,
                 [](auto& r) { SetText(r, kStd, "IPAddress", ""); SetText(r, kStd, "HostName", "prn"); }, true},
        PortCase{"StandardEmpty", 2, 5, [](auto& r) { SetText(r, kStd, "IPAddress", ""); }, false},
        PortCase{"NoKey", 2, 5, [](auto&) {}, false},
        PortCase{"Nt4IgnoresStandard", 2, 4, [](auto& r) { SetText(r, kStd, "IPAddress", "10.0.0.7"); }, false},
        PortCase{"Nt4Lpr", 2, 4, [](auto& r) { SetText(r, kLpr, "Server Name", "srv"); }, true},
        PortCase{"Win9x", 1, 4, [](auto& r) { SetText(r, k9x, "IP_10.0.0.7", "x"); }, true},
        PortCase{"TooLargeValue", 2, 5, [](auto& r) { SetText(r, kStd, "IPAddress", std::string(200, 'a')); }, false}),
    [](const auto& p) { return std::string(p.param.name); });

TEST(HasPortAddress, UnknownPrinterIsFalse) {
  fakes::FakePlatform fake;
  EXPECT_FALSE(HasPortAddress(fake.platform, "Nowhere"));
}

}  // namespace
}  // namespace pagewire::app

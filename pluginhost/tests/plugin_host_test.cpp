// The host's decisions, played against a recording platform: what opening,
// activating and closing ask of the system, and in which order.
#include <gtest/gtest.h>

#include "fake_platform.h"
#include "plugin_host.h"
#include "plugin_texts.h"
#include "wide.h"

using plugins::OpenedPlugin;
using plugins::PluginHost;
using plugintest::FakePlatform;
using plugintest::M;
using plugintest::W;
using Calls = std::vector<std::string>;

namespace {

class Host : public ::testing::Test {
 protected:
  void Plugin(const std::string& key, const std::string& library, int window, int module,
              const std::string& name = "") {
    platform_.settings[key]["Library"] = library;
    if (!name.empty()) platform_.settings[key]["Name"] = name;
    platform_.opens[key] = OpenedPlugin{W(window), M(module)};
  }
  FakePlatform platform_;
  PluginHost host_{platform_};
};

TEST_F(Host, FirstAddOpensOnDemandBarSecondOnlyActivates) {
  Plugin("*Lexikon", "Lexikon.svx", 1, 11, "Dictionary");
  EXPECT_EQ(1, host_.AddPlugin("*Lexikon"));
  EXPECT_EQ((Calls{"native Lexikon.svx Dictionary", "bar", "tab Dictionary w1", "show w1", "select 0"}),
            platform_.Take());
  EXPECT_EQ(1, platform_.access_asked);

  EXPECT_EQ(0, host_.AddPlugin("*Lexikon"));
  EXPECT_EQ((Calls{"show w1"}), platform_.Take()) << "no second copy, no second access question";
  EXPECT_EQ(1, platform_.access_asked);
  EXPECT_EQ(1, host_.Tabs().Count());
  EXPECT_EQ(0, host_.AddPlugin("*Lexikon"));
}

TEST_F(Host, KeysAreComparedExactly) {
  Plugin("*Lexikon", "Lexikon.svx", 1, 11);
  Plugin("*lexikon", "Lexikon.svx", 2, 12);
  EXPECT_EQ(1, host_.AddPlugin("*Lexikon"));
  EXPECT_EQ(1, host_.AddPlugin("*lexikon"));
  EXPECT_EQ(2, host_.Tabs().Count());
}

TEST_F(Host, RefusedAccessAndFailedOpensLeaveNoTab) {
  Plugin("*Secret", "Secret.svx", 1, 11);
  platform_.refused.insert("*Secret");
  EXPECT_EQ(0, host_.AddPlugin("*Secret"));
  EXPECT_TRUE(platform_.Take().empty()) << "refused: nothing is even loaded";

  // A library that gives no window: nothing opens, and it is not reported as
  // opened.
  platform_.settings["*Broken"]["Library"] = "Broken.svx";
  EXPECT_EQ(0, host_.AddPlugin("*Broken"));
  EXPECT_EQ((Calls{std::string("native Broken.svx ") + sv::Ru(u8"(Без имени)")}), platform_.Take());

  // No library setting at all: silently nothing.
  platform_.settings["*Nothing"]["Name"] = "N";
  EXPECT_EQ(0, host_.AddPlugin("*Nothing"));
  EXPECT_TRUE(platform_.Take().empty());
  EXPECT_TRUE(host_.Tabs().Empty());
  EXPECT_FALSE(host_.HasTabBar());
}

TEST_F(Host, OnlyTheLowerCaseOcxEndingIsActiveX) {
  Plugin("*Map", "Map.ocx", 1, 0, "Map");
  platform_.settings["*Map"]["GUID"] = "{00000000-0000-0000-0000-000000000001}";
  Plugin("*Old", "Old.OCX", 2, 12, "Old");
  host_.AddPlugin("*Map");
  host_.AddPlugin("*Old");
  Calls calls = platform_.Take();
  EXPECT_EQ("activex Map.ocx {00000000-0000-0000-0000-000000000001} Map", calls.at(0));
  EXPECT_EQ("native Old.OCX Old", calls.at(5));
  EXPECT_FALSE(plugins::IsActiveXLibrary("ocx"));
  EXPECT_TRUE(plugins::IsActiveXLibrary(".ocx"));
}

TEST_F(Host, ClosingDestroysTheWindowBeforeFreeingTheLibraryAndRenumbersIcons) {
  Plugin("*A", "A.svx", 1, 11, "A");
  Plugin("*B", "B.svx", 2, 12, "B");
  Plugin("*C", "C.svx", 3, 13, "C");
  host_.AddPlugin("*A");
  host_.AddPlugin("*B");
  host_.AddPlugin("*C");
  platform_.Take();
  host_.Close("*A");
  EXPECT_EQ((Calls{"destroy w1", "free m11", "delete tab 0 image 0", "image 0=0", "image 1=1", "select 1"}),
            platform_.Take());
  EXPECT_EQ(0, host_.Tabs().At(0).image);
  EXPECT_EQ(1, host_.Tabs().At(1).image);
  host_.Close("*A");
  EXPECT_TRUE(platform_.Take().empty()) << "closing a key that is not open does nothing";
}

TEST_F(Host, ActiveXTabsHoldNoLibrary) {
  Plugin("*Map", "Map.ocx", 1, 0, "Map");
  platform_.settings["*Map"]["GUID"] = "{00000000-0000-0000-0000-000000000001}";
  host_.AddPlugin("*Map");
  platform_.Take();
  host_.Close("*Map");
  EXPECT_EQ((Calls{"destroy w1", "delete tab 0 image 0", "destroy bar"}), platform_.Take());
}

TEST_F(Host, OnDemandBarGoesWithItsLastTabShellsBarStays) {
  Plugin("*A", "A.svx", 1, 11, "A");
  host_.AddPlugin("*A");
  host_.Close("*A");
  EXPECT_EQ("destroy bar", platform_.Take().back());
  EXPECT_FALSE(host_.HasTabBar());

  host_.CreateTabBar(W(99));
  host_.CreateTabBar(nullptr);
  EXPECT_EQ((Calls{"bar with button on parent"}), platform_.Take()) << "a second create does nothing";
  host_.AddPlugin("*A");
  host_.Close("*A");
  Calls calls = platform_.Take();
  EXPECT_EQ(calls.end(), std::find(calls.begin(), calls.end(), "bar")) << "no bar of its own";
  EXPECT_EQ(calls.end(), std::find(calls.begin(), calls.end(), "destroy bar"));
  EXPECT_TRUE(host_.HasTabBar());
}

TEST_F(Host, ActivePluginPrefersActiveWindowsThenTheCurrentTab) {
  Plugin("*A", "A.svx", 1, 11);
  Plugin("*B", "B.svx", 2, 12);
  Plugin("*C", "C.svx", 3, 13);
  EXPECT_EQ("", host_.ActiveKey());
  EXPECT_EQ(0, host_.CloseActivePlugin());
  host_.AddPlugin("*A");
  host_.AddPlugin("*B");
  host_.AddPlugin("*C");
  platform_.mdi_children = {W(1), W(2)};

  EXPECT_EQ("*C", host_.ActiveKey()) << "nothing active: the current tab";
  platform_.active = W(2);
  EXPECT_EQ("*B", host_.ActiveKey());
  EXPECT_EQ(W(2), host_.ActiveWindow());
  platform_.active = W(3);
  EXPECT_EQ("*C", host_.ActiveKey()) << "an active window that is no MDI child";

  platform_.active = W(1);
  platform_.Take();
  host_.UpdateActivePlugin();
  EXPECT_EQ((Calls{"select 0", "show w1"}), platform_.Take());
  EXPECT_EQ(1, host_.CloseActivePlugin());
  EXPECT_EQ(-1, host_.Tabs().Find("*A"));
}

TEST_F(Host, SelectingATabWithTheMouseActivatesItsPlugin) {
  Plugin("*A", "A.svx", 1, 11);
  Plugin("*B", "B.svx", 2, 12);
  host_.AddPlugin("*A");
  host_.AddPlugin("*B");
  platform_.Take();
  host_.OnTabSelected(0);
  EXPECT_EQ((Calls{"select 0", "show w1"}), platform_.Take());
  host_.OnTabSelected(5);
  EXPECT_TRUE(platform_.Take().empty());
}

TEST_F(Host, FreeClosesEveryTabAndTheBar) {
  Plugin("*A", "A.svx", 1, 11);
  Plugin("*B", "B.svx", 2, 12);
  host_.CreateTabBar(W(99));
  host_.AddPlugin("*A");
  host_.AddPlugin("*B");
  platform_.Take();
  host_.FreeTabBar();
  Calls calls = platform_.Take();
  for (const char* expected : {"destroy w1", "free m11", "destroy w2", "free m12", "destroy bar"}) {
    EXPECT_NE(calls.end(), std::find(calls.begin(), calls.end(), expected)) << expected;
  }
  EXPECT_TRUE(host_.Tabs().Empty());
  EXPECT_FALSE(host_.HasTabBar());
  host_.CreateTabBar(W(99));
  EXPECT_TRUE(host_.HasTabBar()) << "the shell may make it again";
}

TEST_F(Host, KeyOpenedMeanwhileKeepsOneTab) {
  // While the plugin loads (a box may run a message loop), the same key is
  // opened again: the second window must not become a second tab.
  Plugin("*A", "A.svx", 1, 11);
  bool nested = false;
  platform_.during_open = [&](const std::string& key) {
    if (nested) return;
    nested = true;
    platform_.opens[key] = OpenedPlugin{W(5), M(15)};
    EXPECT_EQ(1, host_.AddPlugin(key));
    platform_.opens[key] = OpenedPlugin{W(1), M(11)};
  };
  EXPECT_EQ(0, host_.AddPlugin("*A")) << "the nested call opened it";
  EXPECT_EQ(1, host_.Tabs().Count());
  EXPECT_EQ(W(5), host_.Tabs().At(0).window);
  Calls calls = platform_.Take();
  EXPECT_NE(calls.end(), std::find(calls.begin(), calls.end(), "destroy w1"));
  EXPECT_NE(calls.end(), std::find(calls.begin(), calls.end(), "free m11"));
}

TEST_F(Host, WithoutATabBarTabsAreStillTracked) {
  // No main window to put a bar on: the plugin's window and library must
  // still be closable.
  platform_.bar_can_be_made = false;
  Plugin("*A", "A.svx", 1, 11);
  EXPECT_EQ(1, host_.AddPlugin("*A"));
  EXPECT_EQ(1, host_.CloseActivePlugin());
  Calls calls = platform_.Take();
  EXPECT_NE(calls.end(), std::find(calls.begin(), calls.end(), "free m11"));
  EXPECT_EQ(calls.end(), std::find(calls.begin(), calls.end(), "destroy bar"));
}

TEST(PluginTexts, FailureBoxesReadAsUsersKnowThem) {
  EXPECT_EQ(sv::Ru(u8"Плагин \"Словарь\" не может быть запучен!\rНевозможно загрузить файл: Lexikon.svx"),
            plugins::LoadFailureText(sv::Ru(u8"Словарь"), "Lexikon.svx"));
  EXPECT_EQ(sv::Ru(u8"Плагин \"(Без имени)\" не может быть запучен!\rНе найдена точка входа в файле: X.svx"),
            plugins::EntryPointFailureText(plugins::DisplayName(""), "X.svx"));
  EXPECT_EQ(sv::Ru(u8"Невозможно запустить плагин!\rВозможно у Вас нет прав регистрации ActiveX компонентов"),
            plugins::ActiveXRegistrationText());
  EXPECT_EQ("Lexikon", plugins::PluginId("*Lexikon"));
  EXPECT_EQ("PatchKeeper", plugins::PluginId("PatchKeeper"));
}

}  // namespace

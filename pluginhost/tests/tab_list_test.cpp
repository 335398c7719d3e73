// The tab records: icon indexes after a removal and which tab stays current.
#include <gtest/gtest.h>

#include "tab_list.h"

using plugins::PluginTab;
using plugins::TabList;

namespace {

PluginTab Tab(const std::string& key, int image) {
  PluginTab tab;
  tab.key = key;
  tab.image = image;
  return tab;
}

TEST(TabList, RemovalLowersOnlyGreaterImageIndexes) {
  TabList tabs;
  tabs.Add(Tab("a", 2));
  tabs.Add(Tab("b", plugins::kNoImage));
  tabs.Add(Tab("c", 0));
  tabs.Add(Tab("d", 3));
  plugins::RemovedTab removed = tabs.RemoveAt(0);
  EXPECT_EQ("a", removed.tab.key);
  EXPECT_EQ((std::vector<int>{2}), removed.renumbered);
  EXPECT_EQ(plugins::kNoImage, tabs.At(0).image);
  EXPECT_EQ(0, tabs.At(1).image);
  EXPECT_EQ(2, tabs.At(2).image);

  removed = tabs.RemoveAt(0);  // a tab without icon changes no index
  EXPECT_TRUE(removed.renumbered.empty());
  EXPECT_TRUE(tabs.RemoveAt(7).tab.key.empty());
  EXPECT_EQ(2, tabs.Count());
}

TEST(TabList, CurrentTabFollowsRemovals) {
  TabList tabs;
  for (const char* key : {"a", "b", "c", "d"}) tabs.Add(Tab(key, plugins::kNoImage));
  tabs.SetCurrent(2);
  tabs.RemoveAt(0);
  EXPECT_EQ("c", tabs.At(tabs.Current()).key) << "a tab before it goes";
  tabs.RemoveAt(tabs.Current());
  EXPECT_EQ("d", tabs.At(tabs.Current()).key) << "the current one goes: the next takes its place";
  tabs.RemoveAt(tabs.Current());
  EXPECT_EQ("b", tabs.At(tabs.Current()).key) << "the last one goes: the new last";
  tabs.RemoveAt(0);
  EXPECT_EQ(plugins::kNoTab, tabs.Current());
}

}  // namespace

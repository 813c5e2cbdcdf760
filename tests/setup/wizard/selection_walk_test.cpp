// The component selection: toggling, option groups, partly selected
// parents, counts, the Details levels, and the size figures.
#include <gtest/gtest.h>

#include "setup/core/wizard/selection_walk.h"
#include "setup/core/wizard/size_text.h"

namespace tw {
namespace {

// Type tree: root(0) -> A(1) [children: OptX(2), OptY(3), Plain(4)], B(5), Hidden(6)
// Component numbers: A 0, OptX 1, OptY 2, Plain 3, B 4, Hidden 5.
class Selection : public ::testing::Test {
 protected:
  void SetUp() override {
    components = {{0, kStateSelected, 100, 1000}, {kFlagOptionButton, kStateSelected, 10, 10},
                  {kFlagOptionButton, kStateNotSelected, 20, 20}, {0, kStateSelected, 30, 30},
                  {0x20, kStateNotSelected, 2000, 2000}, {kFlagNotOffered, kStateSelected, 5, 5}};
    nodes = {{3, 0xFFFF}, {3, 0}, {0, 1}, {0, 2}, {0, 3}, {0, 4}, {0, 5}};
  }
  uint32_t state(int c) const { return components[c].state & kStateMask; }
  std::vector<SelectionComponent> components;
  std::vector<ProfileTreeNode> nodes;
};

TEST_F(Selection, TreeShapeFromChildCounts) {
  SelectionTree tree(nodes, components);
  EXPECT_EQ(tree.children(0), (std::vector<size_t>{1, 5, 6}));
  EXPECT_EQ(tree.children(1), (std::vector<size_t>{2, 3, 4}));
  EXPECT_TRUE(tree.children(2).empty());
  // A count that promises more nodes than exist ends at the last node.
  std::vector<ProfileTreeNode> broken = {{9, 0xFFFF}, {7, 0}};
  SelectionTree short_(broken, components);
  EXPECT_EQ(short_.children(0), (std::vector<size_t>{1}));
}

TEST_F(Selection, CountsAndSumsLeaveOutUnselectedSubtrees) {
  SelectionTree tree(nodes, components);
  WalkSums a = WalkSums();
  tree.walk(1, 0, WalkAction{}, a);
  // Inside A: OptX and Plain selected, OptY not; Hidden is elsewhere.
  EXPECT_EQ(a.selectedCount, 2u);
  EXPECT_EQ(a.totalCount, 3u);
  EXPECT_EQ(a.selectedSize, 140u);
  WalkSums all = tree.refresh(WalkAction{});
  EXPECT_EQ(all.selectedSize, 145u);  // A's subtree and Hidden; B is not selected
  EXPECT_EQ(all.selectedNeeded, 1045u);
  EXPECT_EQ(state(0), kStatePartly);  // A has a selected and an unselected child
}

TEST_F(Selection, SelectedOptionButtonCannotBeUnselectedByAClick) {
  SelectionTree tree(nodes, components);
  EXPECT_EQ(tree.toggle(1, 2), 0u);
  EXPECT_EQ(state(1), kStateSelected);
  // Choosing the other option deselects the first.
  EXPECT_EQ(tree.toggle(1, 3), 20u);
  EXPECT_EQ(state(2), kStateSelected);
  EXPECT_EQ(state(1), kStateNotSelected);
}

TEST_F(Selection, DeselectingAParentKeepsItsSelectedOptionChild) {
  SelectionTree tree(nodes, components);
  tree.toggle(0, 1);  // A was partly selected, so the click deselects it
  EXPECT_EQ(state(3), kStateNotSelected);  // the plain child follows
  EXPECT_EQ(state(1), kStateSelected);     // the option child stays
  EXPECT_EQ(state(0), kStatePartly);       // and keeps the parent partly selected
}

TEST_F(Selection, CheckBoxToggleReportsTheBytesNowSelected) {
  SelectionTree tree(nodes, components);
  EXPECT_EQ(tree.toggle(0, 5), 2000u);
  EXPECT_EQ(state(4), kStateSelected);
  // Deselected, the row shows what stays selected below it: nothing.
  EXPECT_EQ(tree.toggle(0, 5), 0u);
  EXPECT_EQ(state(4), kStateNotSelected);
}

TEST_F(Selection, CancelInDetailsRestoresAndOkKeeps) {
  SelectionTree tree(nodes, components);
  tree.saveStates(1);
  tree.toggle(1, 4);  // Plain off
  tree.toggle(1, 3);  // OptY on, OptX off
  tree.restoreStates(1);
  EXPECT_EQ(state(1), kStateSelected);
  EXPECT_EQ(state(2), kStateNotSelected);
  EXPECT_EQ(state(3), kStateSelected);

  tree.saveStates(1);
  tree.toggle(1, 4);
  tree.stateFromChildren(1);  // "Ok": OptX selected, OptY and Plain not
  EXPECT_EQ(state(3), kStateNotSelected);
  EXPECT_EQ(state(0), kStatePartly);
  tree.toggle(1, 4);
  tree.toggle(1, 3);
  tree.toggle(1, 2);
  components[2].state = kStateSelected;
  tree.stateFromChildren(1);
  EXPECT_EQ(state(0), kStateSelected);
}

TEST(SizeText, KilobytesAndMegabytes) {
  EXPECT_EQ(kilobytesForList(0), 0u);
  EXPECT_EQ(kilobytesForList(600), 1u);
  EXPECT_EQ(kilobytesForList(1024), 1u);
  EXPECT_EQ(kilobytesForList(2047), 1u);
  EXPECT_EQ(kilobytesForList(2048), 2u);
  EXPECT_EQ(megabytesText(0), "0,0 MB");
  EXPECT_EQ(megabytesText(1), "0,1 MB");
  EXPECT_EQ(megabytesText(104857), "0,1 MB");
  EXPECT_EQ(megabytesText(104858), "0,2 MB");
  EXPECT_EQ(megabytesText(1048576), "1,1 MB");
  EXPECT_EQ(megabytesText(10485760), "10,1 MB");
}

}  // namespace
}  // namespace tw

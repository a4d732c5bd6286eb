#include "runtime/ordered_list.h"

#include <string>
#include <vector>

#include <gtest/gtest.h>

namespace fvn {
namespace {

struct Entry {
  int code = 0;
  std::string name;
};

class OrderedListTest : public ::testing::Test {
 protected:
  void SetUp() override {
    for (const Entry& e : {Entry{10, "dez"}, Entry{20, "vinte"}, Entry{30, "trinta"}}) list.add(e);
  }
  std::vector<std::string> names() const {
    std::vector<std::string> out;
    for (const Entry& e : list) out.push_back(e.name);
    return out;
  }
  OrderedList<Entry> list;
};

TEST_F(OrderedListTest, PositionsStartAtOne) {
  Entry e;
  ASSERT_TRUE(list.get(1, e));
  EXPECT_EQ(e.code, 10);
  ASSERT_TRUE(list.put(3, {31, "trinta e um"}));
  ASSERT_TRUE(list.erase(1));
  ASSERT_TRUE(list.insert(1, {5, "cinco"}));
  ASSERT_TRUE(list.insert(4, {40, "quarenta"}));  // one past the end appends
  EXPECT_EQ(names(), (std::vector<std::string>{"cinco", "vinte", "trinta e um", "quarenta"}));
}

TEST_F(OrderedListTest, MissingEntriesFailWithError30AndSuccessClearsIt) {
  Entry e{99, "kept"};
  const bool failures[] = {list.get(0, e),
                           list.get(4, e),
                           list.put(4, {}),
                           list.erase(0),
                           list.insert(0, {}),
                           list.insert(5, {}),
                           list.find(&Entry::code, 99) != 0,
                           list.get_by_key(&Entry::code, 99, e)};
  for (const bool succeeded : failures) EXPECT_FALSE(succeeded);
  EXPECT_EQ(last_runtime_error(), 30);
  EXPECT_EQ(last_runtime_message(), "Entrada não encontrada");
  EXPECT_EQ(e.code, 99);
  EXPECT_EQ(list.records(), 3U);
  EXPECT_TRUE(list.get(2, e));
  EXPECT_EQ(last_runtime_error(), 0);
  set_runtime_error(30);
  EXPECT_EQ(list.find(&Entry::name, "trinta"), 3U);
  EXPECT_EQ(last_runtime_error(), 0);
}

TEST_F(OrderedListTest, FindAndGetByKeyTakeTheFirstMatch) {
  list.add({20, "outro vinte"});
  EXPECT_EQ(list.find(&Entry::code, 20), 2U);
  EXPECT_EQ(list.find([](const Entry& e) { return e.name.size(); }, std::size_t{6}), 3U);
  Entry e;
  ASSERT_TRUE(list.get_by_key(&Entry::name, std::string{"outro vinte"}, e));
  EXPECT_EQ(e.code, 20);
}

TEST_F(OrderedListTest, SortIsStableBothWays) {
  list.add({20, "segundo vinte"});
  list.add({10, "segundo dez"});
  list.sort(&Entry::code, true);
  EXPECT_EQ(names(), (std::vector<std::string>{"trinta", "vinte", "segundo vinte", "dez", "segundo dez"}));
  list.sort(&Entry::code);
  EXPECT_EQ(names(), (std::vector<std::string>{"dez", "segundo dez", "vinte", "segundo vinte", "trinta"}));
  list.clear();
  EXPECT_TRUE(list.empty());
}

}  // namespace
}  // namespace fvn

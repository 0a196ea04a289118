#include <gtest/gtest.h>

#include <random>

#include "data/row_order.h"

namespace {

std::vector<uint32_t> contents(const data::RowOrder& order) {
  std::vector<uint32_t> out;
  for (size_t i = 0; i < order.size(); ++i) out.push_back(order[i]);
  return out;
}

TEST(RowOrderTest, InsertsAndErasesAnywhereLikeAPlainVector) {
  data::RowOrder order(5);
  EXPECT_TRUE(order.isIdentity());
  std::vector<uint32_t> model{0, 1, 2, 3, 4};
  std::mt19937 random(7);
  uint32_t next = 5;
  for (int step = 0; step < 2000; ++step) {
    const size_t at = model.empty() ? 0 : random() % (model.size() + 1);
    if (random() % 3 == 0 && at < model.size()) {
      order.erase(at);
      model.erase(model.begin() + static_cast<ptrdiff_t>(at));
    } else {
      order.insert(at, next);
      model.insert(model.begin() + static_cast<ptrdiff_t>(at), next++);
    }
    ASSERT_EQ(order.size(), model.size()) << "step " << step;
  }
  EXPECT_EQ(contents(order), model);
  EXPECT_EQ(order.toVector(), model);
  EXPECT_FALSE(order.isIdentity());
}

TEST(RowOrderTest, RepeatedInsertsAtOnePlaceKeepEveryId) {
  data::RowOrder order(3);
  for (uint32_t id = 3; id < 1003; ++id) order.insert(1, id);
  ASSERT_EQ(order.size(), 1003u);
  EXPECT_EQ(order[0], 0u);
  EXPECT_EQ(order[1], 1002u);
  EXPECT_EQ(order[1000], 3u);
  EXPECT_EQ(order[1001], 1u);
  EXPECT_EQ(order[1002], 2u);
  order.insert(order.size(), 5000);
  EXPECT_EQ(order[1003], 5000u);
}

}  // namespace

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>

#include "support/ZeroedArray.h"

TEST(ZeroedArray, SmallAndLargeArraysStartZeroedAndMove) {
  for (const std::size_t count : {std::size_t{1}, std::size_t{1000}, std::size_t{3} << 20}) {
    ZeroedArray<std::uint32_t> items(count);
    ASSERT_EQ(items.size(), count);
    EXPECT_TRUE(std::all_of(items.data(), items.data() + count, [](auto item) {
      return item == 0;
    })) << count;
    items[count - 1] = 7;
    ZeroedArray<std::uint32_t> moved = std::move(items);
    EXPECT_EQ(moved[count - 1], 7u);
    EXPECT_EQ(moved.size(), count);
  }
}

TEST(ZeroedArray, LargeArraysLieOnHugePageBoundaries) {
  const ZeroedArray<std::uint64_t> table(std::size_t{1} << 20);  // 8 MiB
  EXPECT_EQ(reinterpret_cast<std::uintptr_t>(table.data()) % (std::uintptr_t{2} << 20), 0u);
  const ZeroedArray<std::uint8_t> none(0);
  EXPECT_NE(none.data(), nullptr);
}

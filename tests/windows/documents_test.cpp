// Files that the host opens become file events; everything else is refused.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "host/fake/FakeHost.h"
#include "toolbox/windows/Documents.h"

TEST(Documents, OpeningPostsAFileEventEvenForMissingFiles) {
  std::filesystem::path folder = std::filesystem::temp_directory_path() / "velmorat-docs-ä ö";
  std::filesystem::create_directories(folder);
  std::ofstream(folder / "Brief.txt") << "x";
  std::size_t before = FileEventQueueCopy().size();
  Document document;
  int error = 0;
  EXPECT_TRUE(document.readFromURL((folder / "Brief.txt").string(), "txt", &error));
  EXPECT_TRUE(document.readFromURL(folder.string(), "", &error));
  EXPECT_TRUE(document.readFromURL((folder / "fehlt").string(), "", &error));
  std::vector<t_Event> events = FileEventQueueCopy();
  ASSERT_EQ(events.size(), before + 3);
  EXPECT_EQ(events[before].Kind, 4);
  EXPECT_EQ(events[before].Value, 1);
  EXPECT_EQ(events[before].Description, (folder / "Brief.txt").string());  // non-ASCII unchanged
  EXPECT_EQ(events[before + 1].Value, 2);
  EXPECT_EQ(events[before + 2].Value, 0);
  EXPECT_GT(events[before].Time, 0);
  EXPECT_TRUE(FileAvailable());
}

TEST(Documents, RefusesEmptyPaths) {
  Document document;
  int error = 0;
  EXPECT_FALSE(document.readFromURL("", "txt", &error));
  EXPECT_EQ(error, kDocumentUnimplemented);
}

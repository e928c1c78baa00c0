// The units beside the editors: keyword lists, known top files, the workspace, the recent
// files and the templates.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/message_box.h"
#include "platform/resources.h"
#include "platform/settings_store.h"
#include "resources/string_ids.h"
#include "services/localize.h"
#include "services/message_strings.h"
#include "services/registry_settings.h"
#include "tests/services/temp_folder.h"
#include "workbench/configuration.h"
#include "workbench/keyword_lists.h"
#include "workbench/recent_files.h"
#include "workbench/templates.h"
#include "workbench/top_files.h"
#include "workbench/workspace.h"

namespace {

using platform::BoxButtons;
using platform::RecordingMessageBoxes;
using workbench::TempFolder;

void WriteFile(const std::string& name, const std::string& text) {
  std::ofstream out(name, std::ios::binary);
  out << text;
}

// A settings store of its own in a temporary folder, the texts and a box recorder.
class EditorFilesTest : public ::testing::Test {
 protected:
  EditorFilesTest() {
    texts_.InitLocalization("x");
    registry_ = std::make_unique<workbench::RegistrySettings>(store_);
  }
  std::string FullKey(const std::string& name) const {
    return std::string(workbench::kRegistryRoot) + name;
  }
  bool Exists(const std::string& name) const { return store_.KeyExists(FullKey(name)); }
  std::string Stored(const std::string& name) const {
    return store_.ReadString(FullKey(name), name);
  }
  // Every later write of the store fails, as on a full disk.
  void FailWrites() {
    store_.SetByteWriter([](std::FILE*, std::string_view) { return false; });
  }

  TempFolder folder_;
  platform::SettingsStore store_{folder_.Path() + "settings.txt"};
  std::unique_ptr<workbench::RegistrySettings> registry_;
  workbench::Localizer texts_;
  RecordingMessageBoxes boxes_;
  workbench::MessageStrings messages_{texts_, boxes_};
};

// ---- Keyword lists ----

using KeywordListsTest = EditorFilesTest;

TEST_F(KeywordListsTest, StartUpLoadsTheAssemblyListAndTheBasicFile) {
  const std::string basic = folder_.Path() + "RESERVED.TXT";
  WriteFile(basic, "PRINT\r\nGOTO\r\nif\r\n");
  workbench::T_MultiKeywordList lists;
  workbench::LoadKeywordLists(lists, messages_, basic);
  EXPECT_TRUE(boxes_.Boxes().empty());
  ASSERT_EQ(lists.ListCount(), 3);
  EXPECT_EQ(lists.GetList(0)->Count(), 0);
  const scrivlet::TKeywordList& assembly = *lists.GetList(1);
  ASSERT_EQ(assembly.Count(), 70);
  EXPECT_EQ(assembly.Strings(0), "ADD");
  EXPECT_EQ(assembly.Strings(69), "XOR");
  EXPECT_FALSE(assembly.AllMatchCase) << "mov is coloured like MOV";
  ASSERT_EQ(lists.GetList(2)->Count(), 3);
  EXPECT_EQ(lists.GetList(2)->Strings(2), "if");
  for (int index : {-1, 3, 10}) EXPECT_EQ(lists.GetList(index), nullptr) << index;
}

TEST_F(KeywordListsTest, AMissingSourceIsToldOnceAndKeepsTheNumbering) {
  struct Case {
    const char* name;
    bool resource_found;
    bool basic_file_found;
    std::vector<int> box_texts;
  };
  namespace Ids = string_ids::EditorUnit;
  const Case cases[] = {
      {"basic file missing", true, false, {Ids::SCU_QVB_KEYWORDS_FAILED}},
      {"assembly list missing", false, true, {Ids::SCU_ASM_KEYWORDS_FAILED}},
      {"both missing", false, false, {Ids::SCU_ASM_KEYWORDS_FAILED, Ids::SCU_QVB_KEYWORDS_FAILED}},
  };
  const std::string basic = folder_.Path() + "RESERVED.TXT";
  WriteFile(basic, "PRINT\r\n");
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    boxes_.Clear();
    for (std::size_t i = 0; i < c.box_texts.size(); ++i) boxes_.Answer(platform::kAnswerOk);
    workbench::T_MultiKeywordList lists(
        [&](std::string_view type, std::string_view name) -> std::optional<std::string_view> {
          if (!c.resource_found) return std::nullopt;
          return platform::FindTypedResource(type, name);
        });
    workbench::LoadKeywordLists(lists, messages_,
                                c.basic_file_found ? basic : folder_.Path() + "none.txt");
    ASSERT_EQ(boxes_.Boxes().size(), c.box_texts.size());
    for (std::size_t i = 0; i < c.box_texts.size(); ++i) {
      EXPECT_EQ(boxes_.Boxes()[i].text, texts_.LU_GetString(c.box_texts[i]));
      EXPECT_EQ(boxes_.Boxes()[i].caption, "Keyword Load Error");
    }
    EXPECT_EQ(lists.ListCount(), 3);
    EXPECT_EQ(lists.GetList(1)->Count(), c.resource_found ? 70 : 0);
    EXPECT_EQ(lists.GetList(2)->Count(), c.basic_file_found ? 1 : 0);
  }
}

// Each box names the list that failed.
TEST_F(KeywordListsTest, TheBoxOfAMissingBasicListNamesTheBasicList) {
  boxes_.Answer(platform::kAnswerOk);
  workbench::T_MultiKeywordList lists;
  workbench::LoadKeywordLists(lists, messages_, folder_.Path() + "none.txt");
  ASSERT_EQ(boxes_.Boxes().size(), 1u);
  EXPECT_EQ(boxes_.Boxes()[0].text,
            "Error trying to load QV/B keyword list.\rSyntax highlighting for this language will "
            "be disabled");
}

// Without a BASIC compiler there is no list to miss: BASIC editors just show no colours.
TEST_F(KeywordListsTest, WithoutABasicCompilerTheBasicListIsEmptyWithoutABox) {
  workbench::T_MultiKeywordList lists;
  workbench::LoadKeywordLists(lists, messages_, std::nullopt);
  EXPECT_TRUE(boxes_.Boxes().empty());
  ASSERT_EQ(lists.ListCount(), 3);
  EXPECT_EQ(lists.GetList(1)->Count(), 70);
  EXPECT_EQ(lists.GetList(2)->Count(), 0);
}

TEST_F(KeywordListsTest, AtMostTenListsExist) {
  workbench::T_MultiKeywordList lists;
  for (int i = 1; i < 10; ++i) EXPECT_EQ(lists.NewList(), i);
  EXPECT_EQ(lists.NewList(), -1);
  EXPECT_EQ(lists.LoadListFromResource("QVKeywords", "txt"), -1);
  EXPECT_EQ(lists.ListCount(), 10);
  EXPECT_NE(lists.GetList(9), nullptr);
}

// ---- Known top files ----

using TopFilesTest = EditorFilesTest;

TEST_F(TopFilesTest, MostRecentFirstWithoutDuplicatesAndAtMostTwenty) {
  workbench::T_ZKTopFile top(*registry_);
  for (int i = 0; i < 21; ++i)
    ASSERT_TRUE(top.AddKnownTopFile("/p/f" + std::to_string(i) + ".src"));
  ASSERT_EQ(top.KnownTopFiles().size(), 20u);
  EXPECT_EQ(top.KnownTopFiles().front(), "/p/f20.src");
  EXPECT_EQ(top.KnownTopFiles().back(), "/p/f1.src");
  EXPECT_FALSE(top.IsKnownTopFile("/p/f0.src")) << "the oldest went";

  ASSERT_TRUE(top.AddKnownTopFile("/p/f5.src"));
  EXPECT_EQ(top.KnownTopFiles().size(), 20u);
  EXPECT_EQ(top.IndexOfKnownTopFile("/p/f5.src"), 0);
  EXPECT_EQ(top.IndexOfKnownTopFile("/p/F5.src"), -1) << "names compare with case";

  EXPECT_EQ(Stored("KnownTopFiles\\File_00"), "/p/f5.src");
  EXPECT_EQ(Stored("KnownTopFiles\\File_19"), "/p/f1.src");
}

TEST_F(TopFilesTest, RemovingWritesTheShorterListAndASecondRunReadsIt) {
  {
    workbench::T_ZKTopFile top(*registry_);
    ASSERT_TRUE(top.AddKnownTopFile("/a.src"));
    ASSERT_TRUE(top.AddKnownTopFile("/b.src"));
    ASSERT_TRUE(top.RemoveKnownTopFile("/b.src"));
    ASSERT_TRUE(top.RemoveKnownTopFile("/absent.src"));
    EXPECT_EQ(Stored("KnownTopFiles\\File_01"), "");
  }
  workbench::T_ZKTopFile again(*registry_);
  EXPECT_EQ(again.KnownTopFiles(), std::vector<std::string>{"/a.src"});
}

TEST_F(TopFilesTest, TheWholeListIsWrittenAtShutDownAlsoWhenNothingChanged) {
  ASSERT_TRUE(registry_->WriteRegString("KnownTopFiles\\File_00", "/a.src"));
  { workbench::T_ZKTopFile top(*registry_); }
  EXPECT_EQ(Stored("KnownTopFiles\\File_00"), "/a.src");
  for (int n = 1; n < workbench::T_ZKTopFile::kMaxKnownTopFiles; ++n) {
    const std::string key = workbench::T_ZKTopFile::KnownTopFileKey(n);
    EXPECT_TRUE(Exists(key)) << key;
    EXPECT_EQ(Stored(key), "") << key;
  }
}

TEST_F(TopFilesTest, AFailedWriteIsReported) {
  workbench::T_ZKTopFile top(*registry_);
  FailWrites();
  EXPECT_FALSE(top.AddKnownTopFile("/a.src"));
  EXPECT_TRUE(top.IsKnownTopFile("/a.src")) << "the list of the run keeps it";
}

// ---- Workspace ----

using WorkspaceTest = EditorFilesTest;

TEST_F(WorkspaceTest, AShorterListDeletesTheStaleNames) {
  ASSERT_TRUE(workbench::SaveWorkspace(*registry_, {"/1", "/2", "/3", "/4", "/5"}));
  ASSERT_TRUE(workbench::SaveWorkspace(*registry_, {"/a", "/b"}));
  EXPECT_EQ(Stored("WorkspaceFiles\\File_00"), "/a");
  EXPECT_EQ(Stored("WorkspaceFiles\\File_01"), "/b");
  for (const char* stale :
       {"WorkspaceFiles\\File_02", "WorkspaceFiles\\File_03", "WorkspaceFiles\\File_04"}) {
    EXPECT_FALSE(Exists(stale)) << stale;
  }
  std::vector<std::string> files{"left over"};
  ASSERT_TRUE(workbench::LoadWorkspace(*registry_, files));
  EXPECT_EQ(files, (std::vector<std::string>{"/a", "/b"}));
}

TEST_F(WorkspaceTest, NothingSavedAndMissingNames) {
  std::vector<std::string> files{"left over"};
  EXPECT_FALSE(workbench::LoadWorkspace(*registry_, files));
  EXPECT_TRUE(files.empty());

  ASSERT_TRUE(registry_->WriteRegInt("WorkspaceFiles\\Numfiles", 3));
  ASSERT_TRUE(registry_->WriteRegString("WorkspaceFiles\\File_00", "/a"));
  ASSERT_TRUE(registry_->WriteRegString("WorkspaceFiles\\File_02", "/c"));
  ASSERT_TRUE(workbench::LoadWorkspace(*registry_, files));
  EXPECT_EQ(files, (std::vector<std::string>{"/a", "/c"}));
}

TEST_F(WorkspaceTest, AFailedWriteIsReported) {
  FailWrites();
  EXPECT_FALSE(workbench::SaveWorkspace(*registry_, {"/a"}));
}

// ---- Recent files ----

using RecentFilesTest = EditorFilesTest;

TEST_F(RecentFilesTest, KeepsExactlyFiveEntries) {
  workbench::RecentFiles recent(texts_);
  for (const char* name : {"/1", "/2", "/3", "/4", "/5", "/6"}) recent.AddRecentFile(name);
  using Entries = std::array<std::string, 5>;
  EXPECT_EQ(recent.Entries(), (Entries{"/6", "/5", "/4", "/3", "/2"}));
  recent.AddRecentFile("/4");
  EXPECT_EQ(recent.Entries(), (Entries{"/4", "/6", "/5", "/3", "/2"})) << "a known one moves up";
  recent.AddRecentFile("/2");
  EXPECT_EQ(recent.Entries(), (Entries{"/2", "/4", "/6", "/5", "/3"})) << "the last one moves up";
  recent.RemoveRecentFile("/6");
  EXPECT_EQ(recent.Entries(), (Entries{"/2", "/4", "/5", "/3", ""}));
  recent.RemoveRecentFile("/3");
  EXPECT_EQ(recent.Entries(), (Entries{"/2", "/4", "/5", "", ""}));
}

TEST_F(RecentFilesTest, NamesCompareWithoutCaseAndNewFilesAreNotRecorded) {
  workbench::RecentFiles recent(texts_);
  recent.AddRecentFile("/p/A.SRC");
  for (const char* name : {"Untitled.SRC", "untitled.src", "{Blank_2_ASSEMBLY}", ""}) {
    recent.AddRecentFile(name);
  }
  recent.AddRecentFile("/p/a.src");
  EXPECT_EQ(recent.Entry(0), "/p/a.src");
  EXPECT_EQ(recent.Entry(1), "");
  recent.RemoveRecentFile("/P/A.SRC");
  EXPECT_EQ(recent.Entry(0), "");
}

TEST_F(RecentFilesTest, WrittenAndReadBack) {
  workbench::RecentFiles recent(texts_);
  recent.AddRecentFile("/a");
  recent.AddRecentFile("/b");
  ASSERT_TRUE(recent.WriteRecentFiles(*registry_));
  EXPECT_EQ(Stored("LastFilesOpened\\File0"), "/b");
  EXPECT_EQ(Stored("LastFilesOpened\\File4"), "");
  workbench::RecentFiles again(texts_);
  again.ReadRecentFiles(*registry_);
  EXPECT_EQ(again.Entries(), recent.Entries());
  FailWrites();
  EXPECT_FALSE(recent.WriteRecentFiles(*registry_));
}

// ---- Writes of one burst ----

using SettingsBurstTest = EditorFilesTest;

// Each list and the configuration are many values: the settings file is replaced once for all
// of them, and a replacement that fails is the list's failure.
TEST_F(SettingsBurstTest, EachListReplacesTheFileOnce) {
  workbench::RecentFiles recent(texts_);
  recent.AddRecentFile("/p/a.src");
  workbench::T_ZKTopFile top_files(*registry_);
  workbench::KeptKeyLinkChoices link;
  workbench::ConfigurationControls controls;
  controls.PortRDGRP = "COM1";
  workbench::EditorOptions editor;
  workbench::IdeOptions ide;
  const struct {
    const char* what;
    std::function<bool()> write;
  } writers[] = {
      {"recent files", [&] { return recent.WriteRecentFiles(*registry_); }},
      {"workspace",
       [&] {
         return workbench::SaveWorkspace(*registry_, {"/p/a.src", "/p/b.src"});
       }},
      {"known top files", [&] { return top_files.SaveKnownTopFiles(); }},
      {"configuration",
       [&] { return workbench::SaveSettings(*registry_, link, controls, editor, ide, false); }},
  };
  int replacements = 0;
  bool fail = false;
  store_.SetByteWriter([&](std::FILE* f, std::string_view bytes) {
    ++replacements;
    return !fail && std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
  });
  for (const auto& writer : writers) {
    replacements = 0;
    fail = false;
    EXPECT_TRUE(writer.write()) << writer.what;
    EXPECT_EQ(replacements, 1) << writer.what;
    fail = true;
    EXPECT_FALSE(writer.write()) << writer.what;
  }
  fail = false;
}

// ---- Templates ----

using TemplatesTest = EditorFilesTest;

TEST_F(TemplatesTest, WrongNamesAreToldInOneBox) {
  const std::string exe = folder_.Path() + "exe/";
  std::filesystem::create_directories(exe + "Templates");
  WriteFile(exe + "Templates/Template.SRC", "; asm\r\n");
  WriteFile(exe + "Templates/notes.txt", "");
  WriteFile(exe + "Templates/old.src", "");
  boxes_.Answer(platform::kAnswerOk);
  workbench::TemplateUnit templates(messages_);
  EXPECT_TRUE(templates.InitTemplates(exe));
  EXPECT_EQ(templates.TemplateFor(".SRC"), exe + "Templates/Template.SRC");
  EXPECT_EQ(templates.TemplateFor(".qvb"), "");
  ASSERT_EQ(boxes_.Boxes().size(), 1u);
  const platform::BoxRequest& box = boxes_.Boxes()[0];
  EXPECT_EQ(box.caption, "Incorrect Template File Names");
  // The file system gives the names in an order of its own.
  const std::string expected_start =
      "Template filenames must be either\r\"Template.src\" or Template.qvb\"\rThe following "
      "filenames in the Template directory are incorrect\r\r";
  ASSERT_EQ(box.text.substr(0, expected_start.size()), expected_start);
  const std::string names = box.text.substr(expected_start.size());
  EXPECT_TRUE(names == "notes.txtold.src" || names == "old.srcnotes.txt") << names;
}

TEST_F(TemplatesTest, TheFolderIsMadeAndBothTemplatesFound) {
  workbench::TemplateUnit templates(messages_);
  EXPECT_EQ(templates.TemplateFor(".src"), "") << "before the folder is known";
  const std::string exe = folder_.Path() + "a/b/";
  EXPECT_FALSE(templates.InitTemplates(exe));
  EXPECT_TRUE(std::filesystem::is_directory(exe + "Templates"));
  WriteFile(exe + "Templates/template.qvb", "' basic\r\n");
  WriteFile(exe + "Templates/Template.src", "; asm\r\n");
  EXPECT_TRUE(templates.InitTemplates(exe));
  EXPECT_EQ(templates.TemplateFor(".QVB"), exe + "Templates/template.qvb");
  EXPECT_EQ(templates.TemplateFor(".src"), exe + "Templates/Template.src");
  EXPECT_EQ(templates.TemplateFor(".asm"), "");
  EXPECT_TRUE(boxes_.Boxes().empty());
}

TEST_F(TemplatesTest, AFolderThatCannotBeMadeLeavesNoTemplates) {
  const std::string exe = folder_.Path() + "file/";
  WriteFile(folder_.Path() + "file", "");
  workbench::TemplateUnit templates(messages_);
  EXPECT_FALSE(templates.InitTemplates(exe));
  EXPECT_EQ(templates.TemplateFor(".src"), "");
}

}  // namespace

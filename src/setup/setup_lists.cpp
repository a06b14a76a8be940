#include "setup/setup_lists.h"

#include <string>

namespace torva {

namespace {

constexpr const char* kUserSection = "USER";

struct CodePageText {
  const char* list;
  const char* file;
};

// The list's text and the settings file's text differ in a few spellings.
constexpr CodePageText kCodePages[] = {
    {"0| PC437 (USA, Std Europe)", "0|PC437 (USA, Std Europe)"},
    {"1| Katakana", "1|Katakana"},
    {"2| PC 850 (Multilingual)", "2|PC 850 (Multilingual)"},
    {"3| PC 860 (Portuguese)", "3|PC 860 (Portuguese)"},
    {"4| PC 863 (Canadian-French)", "4|PC 863 (Canadian-French)"},
    {"5| PC 865 (Nordic)", "5|PC 865 (Nordic)"},
    {"14| PC 737 (Greek)", "14|PC 737 (Greek)"},
    {"16| PC1252 (Windows CP)", "16|WPC1252 (Windows CP)"},
    {"17| PC 866 (Cyrillic #2)", "17|PC 866 (Cyrillic #2)"},
    {"18| PC 852 (Latin 2)", "18|PC 852 (Latin 2)"},
    {"19| PC 858 (West Euro)", "19|PC 858 (West Euro)"},
    {"21| Thai 11", "21|Thai 11"},
    {"26| Thai 18", "26|Thai 18"},
    {"27| FARSI", "27|FARSI"},
    {"33| PC 775 (Baltic)", "33|PC 775 (Baltic)"},
    {"34| PC 855 (Cyrillic)", "34|PC 855 (Cyrillic)"},
    {"36| PC 862 (Hebrew)", "36|PC 862 (Hebrew)"},
    {"37| PC 864 (Arabic)", "37|PC 864 (Arabic)"},
    {"45| WPC1250", "45|WPC 1250"},
    {"46| WPC 1251 (Cyrillic)", "46|WPC 1251 (Cyrillic)"},
    {"47| WPC1253", "47|WPC 1253"},
    {"49| WPC1255", "49|WPC 1255"},
    {"50| WPC1256", "50|WPC 1256"},
    {"51| WPC 1257 (Baltic)", "51|WPC 1257 (Baltic)"},
    {"95| TIS 620 (Thai)", "95|TIS 620 (Thai)"},
    {"96| Thai 42", "96|Thai 42"},
    {"97| Thai 14", "97|Thai 14"},
    {"98| Thai 16", "98|Thai 16"},
    {"99| IRAN SYSTEM (Arabic)", "99|IRAN SYSTEM (Arabic)"},
    {"254| SPACE PAGE", "254|SPACE PAGE"},
};

std::vector<std::string> Column(const char* CodePageText::*field) {
  std::vector<std::string> texts;
  for (const auto& cp : kCodePages) texts.emplace_back(cp.*field);
  return texts;
}

}  // namespace

const std::vector<std::string>& BuiltInCodePageTexts() {
  static const std::vector<std::string> texts = Column(&CodePageText::list);
  return texts;
}

const std::vector<std::string>& BuiltInCodePageFileTexts() {
  static const std::vector<std::string> texts = Column(&CodePageText::file);
  return texts;
}

std::vector<std::string> LoadCodePageList(const CSettingsFile& file) {
  std::vector<std::string> list = file.ReadNumbered(kUserSection, "CodePage%d", 0);
  if (!list.empty()) return list;
  const auto& fileTexts = BuiltInCodePageFileTexts();
  for (std::size_t i = 0; i < fileTexts.size(); ++i) {
    file.Write(kUserSection, "CodePage" + std::to_string(i), fileTexts[i]);
  }
  return BuiltInCodePageTexts();
}

std::vector<std::string> LoadReceiveBufferList(const CSettingsFile& file, bool bKorean) {
  std::vector<std::string> list = file.ReadNumbered(kUserSection, "R_BUF_SZ%d", 0);
  if (!list.empty()) return list;
  static const char* const kSizes[] = {"64", "32", "20", "4"};
  for (int i = 0; i < 4; ++i) {
    file.Write(kUserSection, "R_BUF_SZ" + std::to_string(i), std::string(kSizes[i]));
  }
  list = {"64", "32", "20"};
  if (!bKorean) list.emplace_back("4");
  return list;
}

}  // namespace torva

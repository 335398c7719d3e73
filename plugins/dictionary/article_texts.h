// What the dictionary window makes of the article it shows, for the clipboard
// aside: the name a save gets, the mail address handed to the mail program
// and the lines sent to the printer. Pure code.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace lexikon {

// The save dialog's filter: text documents first, then all files.
constexpr char kSaveFilter[] = "Text Document|*.txt|All files|*.*";
constexpr int kTextFilterIndex = 1;  // the dialog counts its filters from 1

// The file name a save writes: with the text-document filter chosen, ".txt"
// is added unless the name already ends in it (in any case).
std::string SaveFileName(std::string name1251, int filterIndex);

// The lines of a shown text (CR LF, LF or CR breaks).
std::vector<std::string> SplitLines(std::string_view text);

// "mailto:@mail?body=" and the shown text: the heading line "=======" becomes
// two encoded line breaks, the other lines follow one another separated by an
// encoded line break, and "%", "&" and "#" are percent-encoded so that no
// part of the text is taken for a further address field or a fragment.
std::string MailUrl(std::string_view shownText);

// The printed page's lines: three empty lines, the heading (six spaces, the
// window's title, "     -     " and the download page's address), three empty
// lines, then each line of the shown text after five spaces.
std::vector<std::string> PrintLines(std::string_view title, std::string_view downloadPage, std::string_view shownText);

}  // namespace lexikon

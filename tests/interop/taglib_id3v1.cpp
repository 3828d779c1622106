// A test tool: prints "track|comment" of each file's ID3v1 tag as TagLib reads it, or
// "none" for a file TagLib finds no such tag in.
#include <taglib/id3v1tag.h>
#include <taglib/mpegfile.h>

#include <iostream>

int main(int argc, char** argv) {
  for (int i = 1; i < argc; ++i) {
    TagLib::MPEG::File file(argv[i], false);
    TagLib::ID3v1::Tag* tag = file.ID3v1Tag(false);
    if (!tag) {
      std::cout << "none\n";
      continue;
    }
    std::cout << tag->track() << '|' << tag->comment().to8Bit(false) << '\n';
  }
  return 0;
}

// Writes a large valid index file: gen_index ENTRIES KEYWORDS_PER_ENTRY > file.xo
// Entries form a tree of fan-out 10 under a few base URLs.
#include <cstdio>
#include <cstdlib>

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: gen_index ENTRIES KEYWORDS_PER_ENTRY\n");
        return 64;
    }
    long entries = std::atol(argv[1]);
    long keywords = std::atol(argv[2]);
    std::printf("XO0;2;1;1;Tamblin 1.1.18\r\n1;Benchmark site;December 6 2026\r\n");
    std::printf("6;0;A generated index\r\n");
    for (int b = 1; b <= 4; ++b) {
        std::printf("3;%d;http://www.example.com/area%d/;main\r\n", b, b);
    }
    for (long id = 1; id <= entries; ++id) {
        long parent = id <= 10 ? 0 : (id - 1) / 10;
        std::printf("5;%ld;%ld;page%ld.htm;Page number %ld;;%ld;\r\n", id, id % 4 + 1, id, id,
                    parent);
        if (id % 7 == 0) {
            std::printf("6;%ld;Tip for page %ld\r\n", id, id);
        }
        for (long k = 0; k < keywords; ++k) {
            std::printf("7;&%ld keyword %ld;&%ld#anchor%ld;&%ld (section %ld);\r\n", id, k, id, k,
                        id, k);
        }
    }
    std::printf("7;Search help;search.htm;Search;\r\n");
    return 0;
}

// Literals the Shift-JIS rewrite must keep byte for byte (tests/tools/sjis_literals_test.py):
// each is printed in hex, built once by g++ from this source and once from its rewritten copy.
#include <cstdio>
#include <string>

#define LABEL "見出し"

static void Print(const char* name, const std::string& bytes) {
    std::printf("%s:", name);
    for (unsigned char c : bytes) std::printf(" %02X", c);
    std::printf("\n");
}

int main() {
    Print("plain", "漢字かなカナ");
    Print("hex digit after", "円A" "円1f");           // \x escapes must not swallow the A or 1f
    Print("escapes kept", "\x81\x40改\n行\t\"引用\"\\");
    Print("half-width kana", "ｶﾞﾊﾟ");
    Print("symbols", "￥～－∥¬①Ⅰ㈱");
    Print("macro", LABEL "と" LABEL);
    Print("after a word", [] { return"戻り値"; }());
    Print("utf-8 kept", std::string(reinterpret_cast<const char*>(u8"漢字")));
    Print("raw ascii", R"(a"b\c)");
    Print("digit separator", std::to_string(1'000'000) + "件");
    Print("char", std::string(1, 'x') + "字");
    /* a comment "with 引用符" is not a literal */
    // nor is "this one"
    return 0;
}

// kv_formc: the form resource compiler of the build.
//
//   kv_formc SOURCE.form -o OUTPUT.kq             compiles one form source into its resource
//   kv_formc --embed OUTPUT.cpp NAME.kq...        writes the resources as the program's
//                                                 FindFormResource, each under its file's stem
//
// Messages go to standard error as "file:line: reason"; any failure exits with status 1 and
// leaves no output file behind.
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>
#include <string>
#include <vector>

#include "runtime/values/encoding.h"
#include "runtime/forms/form_resource.h"
#include "tools/formc/form_source.h"

namespace fs = std::filesystem;

namespace {

int Usage() {
    std::fputs("usage: kv_formc SOURCE.form -o OUTPUT.kq\n"
               "       kv_formc --embed OUTPUT.cpp NAME.kq...\n", stderr);
    return 2;
}

int Failure(const std::string& message) {
    std::fprintf(stderr, "kv_formc: %s\n", message.c_str());
    return 1;
}

std::optional<std::string> ReadFile(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) return std::nullopt;
    std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (in.bad()) return std::nullopt;
    return bytes;
}

// Writes beside the target and renames, so that an interrupted build never leaves a partial
// file that looks up to date.
bool WriteFile(const fs::path& path, const std::string& bytes) {
    fs::path temp = path;
    temp += ".part";
    {
        std::ofstream out(temp, std::ios::binary | std::ios::trunc);
        out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
        if (!out.flush()) return false;
    }
    std::error_code ec;
    fs::rename(temp, path, ec);
    if (ec) fs::remove(temp, ec);
    return !ec;
}

int Compile(const fs::path& source, const fs::path& output) {
    std::optional<std::string> text = ReadFile(source);
    if (!text) return Failure(source.string() + ": cannot be read");
    formc::SourceResult parsed = formc::ParseFormSource(*text, source.string());
    if (parsed.error) return Failure(parsed.error->Describe());
    std::vector<uint8_t> bytes = rt::EncodeForm(*parsed.form);
    // The runtime must be able to play what we write; a refusal here is a fault of ours or a
    // value the source checks let through.
    rt::DecodeResult check = rt::DecodeForm(bytes);
    if (check.error)
        return Failure(source.string() + ": the compiled form is refused: " +
                       rt::SjisToUtf8Lossy(check.error->message));
    if (!WriteFile(output, std::string(bytes.begin(), bytes.end())))
        return Failure(output.string() + ": cannot be written");
    return 0;
}

bool IsResourceName(const std::string& name) {
    if (name.empty() || name.size() > 21) return false;
    for (char c : name)
        if (!(c == '_' || (c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z')))
            return false;
    return true;
}

int Embed(const fs::path& output, const std::vector<fs::path>& inputs) {
    std::string code = R"(// Written by kv_formc from the form sources of resources/; changes here are lost.
#include <cstdint>
#include <optional>
#include <span>
#include <string_view>

#include "runtime/forms/form_resource.h"

// The forms are read once, at start. They lie beside the relocated data, whose pages the start
// touches anyway, rather than at the end of the constants, where they would keep one more
// 64 KiB block of the program in memory.
#define KV_FORM_BYTES __attribute__((section(".data.rel.ro.kalvoro_forms")))

namespace rt {
namespace {

)";
    std::string table;
    for (size_t i = 0; i < inputs.size(); ++i) {
        std::string name = inputs[i].stem().string();
        if (!IsResourceName(name))
            return Failure(inputs[i].string() + ": \"" + name + "\" is not a resource name");
        std::optional<std::string> bytes = ReadFile(inputs[i]);
        if (!bytes) return Failure(inputs[i].string() + ": cannot be read");
        code += "KV_FORM_BYTES const uint8_t kForm" + std::to_string(i) + "[] = {";
        for (size_t j = 0; j < bytes->size(); ++j) {
            char hex[8];
            std::snprintf(hex, sizeof hex, "0x%02x,", static_cast<unsigned char>((*bytes)[j]));
            code += (j % 16 == 0 ? "\n    " : " ") + std::string(hex);
        }
        code += "\n};\n\n";
        table += "    {\"" + name + "\", kForm" + std::to_string(i) + "},\n";
    }
    code += "struct EmbeddedForm {\n    std::string_view name;\n    std::span<const uint8_t> bytes;\n};\n\n"
            "const EmbeddedForm kForms[] = {\n" + table + "};\n";
    code += R"(
// Resource names are matched as the window system matches them, without regard to case.
bool SameName(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i) {
        char x = a[i] >= 'a' && a[i] <= 'z' ? static_cast<char>(a[i] - 32) : a[i];
        char y = b[i] >= 'a' && b[i] <= 'z' ? static_cast<char>(b[i] - 32) : b[i];
        if (x != y) return false;
    }
    return true;
}

}  // namespace

std::optional<std::span<const uint8_t>> FindFormResource(std::string_view name) {
    for (const EmbeddedForm& form : kForms)
        if (SameName(form.name, name)) return form.bytes;
    return std::nullopt;
}

}  // namespace rt
)";
    if (!WriteFile(output, code)) return Failure(output.string() + ": cannot be written");
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    std::vector<std::string> args(argv + 1, argv + argc);
    if (args.size() >= 2 && args[0] == "--embed") {
        return Embed(args[1], std::vector<fs::path>(args.begin() + 2, args.end()));
    }
    if (args.size() == 3 && args[1] == "-o") return Compile(args[0], args[2]);
    return Usage();
}

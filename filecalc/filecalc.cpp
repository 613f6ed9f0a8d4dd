#include "filecalc/filecalc.h"

#include <array>
#include <sys/stat.h>

#include "textio/files.h"
#include "interp/query.h"
#include "textio/textio.h"

namespace filecalc {

const char* const kInputFormats[8] = {"",
                                      "XYZ",
                                      "BL (dezimal), h",
                                      "BL (Grad, Minuten, Sekunden), h",
                                      "UTM32 (North, East), h",
                                      "UTM32 (East, North), h",
                                      "UTM33 (North, East), h",
                                      "UTM33 (East, North), h"};
const char* const kOutputFormats[8] = {"",
                                       "XYZ, H, N",
                                       "BL (dezimal), h, H, N",
                                       "BL (Grad, Minuten, Sekunden), h, H, N",
                                       "UTM32 (North, East), h, H, N",
                                       "UTM32 (East, North), h, H, N",
                                       "UTM33 (North, East), h, H, N",
                                       "UTM33 (East, North), h, H, N"};

namespace {

constexpr const char* kMsgNoModel = "Name der Geoiddatei muss angeben werden.";
constexpr const char* kMsgNoInput = "Name der Koordinateneingabedatei muss angeben werden.";
constexpr const char* kMsgNoOutput = "Name der Ausgabedatei muss angeben werden.";
constexpr const char* kMsgReadError = "Fehler beim Lesen der Datei: ";
constexpr const char* kMsgSameFile = "Ausgabedatei ist zugleich Eingabedatei: ";
constexpr const char* kMsgWriteError = "Fehler beim Schreiben der Datei: ";
constexpr const char* kMsgBadFormat = "Unbekanntes Dateiformat (erlaubt sind 1 bis 7).";

constexpr double kWrittenDummy = 9999.999;  // N and H of a point without a model value
constexpr std::size_t kPointNumberChars = 30;
constexpr std::int64_t kProgressEvery = 4096;  // points between two progress reports
constexpr std::size_t kBatch = 1 << 18;        // bytes of result lines written at a time

// The system code of each format, 1..7.
constexpr std::array<std::string_view, 8> kCodes = {"", "XYZ", "BLh1", "BLh2", "UTM32", "UTM32", "UTM33", "UTM33"};

using Item = textio::FreeReader::Item;

// The name without trailing blanks and zero bytes.
std::string name_of(const std::string& text)
{
    return text.substr(0, static_cast<std::size_t>(textio::actual_length(text)));
}

// Code points of UTF-8 text.
std::size_t chars(std::string_view utf8)
{
    std::size_t n = 0;
    for (const char c : utf8) n += (static_cast<unsigned char>(c) & 0xC0) != 0x80;
    return n;
}

// The first `count` characters of UTF-8 text.
std::string first_chars(const std::string& utf8, std::size_t count)
{
    std::size_t n = 0;
    for (std::size_t k = 0; k < utf8.size(); ++k) {
        if ((static_cast<unsigned char>(utf8[k]) & 0xC0) != 0x80 && n++ == count) return utf8.substr(0, k);
    }
    return utf8;
}

// Whether the start of the file is valid UTF-8 (a character cut by the end of the sample
// does not count against it). The viewer decides the same way.
bool starts_as_utf8(std::FILE* f)
{
    std::string sample(1 << 18, '\0');
    const std::size_t n = std::fread(sample.data(), 1, sample.size(), f);
    sample.resize(n);
    if (n == (1u << 18)) {
        std::size_t cut = n;
        while (cut > 0 && n - cut < 3 && (static_cast<unsigned char>(sample[cut - 1]) & 0xC0) == 0x80) --cut;
        if (cut > 0 && static_cast<unsigned char>(sample[cut - 1]) >= 0xC0) sample.resize(cut - 1);
    }
    return textio::is_valid_utf8(sample);
}

struct Layout {
    Item items[8];
    int count;
};

// What one line holds after the optional point number, format by format.
Layout layout(int format, bool point_number)
{
    Layout l{};
    int k = 0;
    if (point_number) l.items[k++] = Item::Text;
    if (format == 3) {
        for (Item i : {Item::Integer, Item::Integer, Item::Number, Item::Integer, Item::Integer, Item::Number, Item::Number})
            l.items[k++] = i;
    } else {
        for (int j = 0; j < 3; ++j) l.items[k++] = Item::Number;
    }
    l.count = k;
    return l;
}

// Stores the values read into the record, in the order of the input format.
void store(int format, const double* v, convert::Coordinates& p)
{
    switch (format) {
    case 1: p.cart_x = v[0], p.cart_y = v[1], p.cart_z = v[2]; break;
    case 2: p.ell_b = v[0], p.ell_l = v[1], p.ell_h = v[2]; break;
    case 3:
        p.b_deg = static_cast<std::int32_t>(v[0]), p.b_min = static_cast<std::int32_t>(v[1]), p.b_sec = v[2];
        p.l_deg = static_cast<std::int32_t>(v[3]), p.l_min = static_cast<std::int32_t>(v[4]), p.l_sec = v[5];
        p.ell_h = v[6];
        break;
    case 4: p.utm_north[0] = v[0], p.utm_east[0] = v[1], p.ell_h = v[2]; break;
    case 5: p.utm_east[0] = v[0], p.utm_north[0] = v[1], p.ell_h = v[2]; break;
    case 6: p.utm_north[1] = v[0], p.utm_east[1] = v[1], p.ell_h = v[2]; break;
    case 7: p.utm_east[1] = v[0], p.utm_north[1] = v[1], p.ell_h = v[2]; break;
    default: break;
    }
}

// Degrees of an angle between -1 and 0 are 0 and cannot carry its sign: written "-0".
void put_degrees(std::string& out, std::int32_t deg, bool negative_zero, int width)
{
    if (negative_zero && deg == 0) {
        out.append(static_cast<std::size_t>(width - 2), ' ');
        out.append("-0");
    } else {
        textio::put_integer(out, deg, width);
    }
}

struct Signs {
    bool b = false;  // B lies between -1 and 0 degrees
    bool l = false;
};

void put_coordinates(std::string& out, int format, const convert::Coordinates& p, Signs signs)
{
    switch (format) {
    case 1:
        textio::put_fixed(out, p.cart_x, 14, 3);
        textio::put_fixed(out, p.cart_y, 14, 3);
        textio::put_fixed(out, p.cart_z, 14, 3);
        break;
    case 2:
        textio::put_fixed(out, p.ell_b, 14, 8);
        textio::put_fixed(out, p.ell_l, 14, 8);
        break;
    case 3:
        put_degrees(out, p.b_deg, signs.b, 3);
        textio::put_integer(out, p.b_min, 3);
        textio::put_fixed(out, p.b_sec, 9, 5);
        out.append("  ");
        put_degrees(out, p.l_deg, signs.l, 4);
        textio::put_integer(out, p.l_min, 3);
        textio::put_fixed(out, p.l_sec, 9, 5);
        break;
    case 4:
    case 6: {
        const int z = format == 4 ? 0 : 1;
        textio::put_fixed(out, p.utm_north[z], 14, 3);
        textio::put_fixed(out, p.utm_east[z], 14, 3);
        break;
    }
    case 5:
    case 7: {
        const int z = format == 5 ? 0 : 1;
        textio::put_fixed(out, p.utm_east[z], 14, 3);
        textio::put_fixed(out, p.utm_north[z], 14, 3);
        break;
    }
    default: break;
    }
}

}  // namespace

std::string closing_message(const Outcome& o)
{
    std::string m;
    if (o.cancelled) m += "Berechnung nach " + std::to_string(o.points) + " Punkten abgebrochen\r\n";
    m += std::to_string(o.points) + " Punkte insgesamt\r\n";
    m += std::to_string(o.outside) + " Punkte ausserhalb des Modells";
    if (o.model_errors > 0) m += "\r\n" + std::to_string(o.model_errors) + " Punkte mit Fehlern beim Lesen der Geoiddatei";
    return m;
}

Outcome geoidberechnung(const Job& job, Working& w, Reporter& reporter)
{
    Outcome o;
    const auto refuse = [&](const std::string& message) {
        reporter.error(message);
        o.field_error = 1;
        return o;
    };
    const std::string model_name = name_of(job.model_file);
    const std::string input_name = name_of(job.input_file);
    const std::string output_name = name_of(job.output_file);
    if (model_name.empty()) return refuse(kMsgNoModel);
    if (input_name.empty()) return refuse(kMsgNoInput);
    if (job.in_format < 1 || job.in_format > 7 || job.out_format < 1 || job.out_format > 7)
        return refuse(kMsgBadFormat);

    std::FILE* in = textio::fopen_for_reading(input_name);
    if (in == nullptr) return refuse(interp::kMsgOpen + input_name);
    const auto close_in = [&] { std::fclose(in); };
    if (output_name.empty()) {
        close_in();
        return refuse(kMsgNoOutput);
    }
    // The result would overwrite what the run reads: compared as files, whatever the names.
    if (textio::same_file(fileno(in), output_name) || textio::same_file(model_name, output_name)) {
        close_in();
        return refuse(kMsgSameFile + output_name);
    }
    std::FILE* out = textio::fopen_for_writing(output_name);
    if (out == nullptr) {
        close_in();
        return refuse(interp::kMsgOpen + output_name);
    }
    static thread_local char out_buffer[1 << 16];
    std::setvbuf(out, out_buffer, _IOFBF, sizeof out_buffer);

    struct stat in_info {};
    const std::int64_t in_size = fstat(fileno(in), &in_info) == 0 ? static_cast<std::int64_t>(in_info.st_size) : 0;
    const bool utf8 = starts_as_utf8(in);
    textio::FreeReader reader(in);
    const interp::ModelQuery model(model_name);
    const Layout items = layout(job.in_format, job.pnr_flag == 1);
    const int first_value = job.pnr_flag == 1 ? 1 : 0;
    const std::string_view in_code = kCodes[static_cast<std::size_t>(job.in_format)];
    const std::string_view out_code = kCodes[static_cast<std::size_t>(job.out_format)];
    const std::size_t pnr_width = static_cast<std::size_t>(std::max(0, job.pnr_length));

    double values[8];
    std::string raw_number, point_number, message, batch;
    batch.reserve(kBatch + 512);
    bool read_error = false;
    for (;;) {
        if (o.points % kProgressEvery == 0 && o.points > 0 && !reporter.progress(reader.offset(), in_size, o.points)) {
            o.cancelled = true;
            break;
        }
        unsigned negative_zero = 0;
        const textio::ReadStatus st = reader.read_record(items.items, items.count, values, raw_number, negative_zero);
        if (st == textio::ReadStatus::End) break;
        if (st == textio::ReadStatus::Error) {
            read_error = true;
            break;
        }
        ++o.points;
        convert::Coordinates& p = w.point;
        store(job.in_format, values + first_value, p);
        Signs read_signs;
        read_signs.b = (negative_zero >> (first_value + 0)) & 1u;
        read_signs.l = (negative_zero >> (first_value + 3)) & 1u;
        if (job.in_format != 2) convert::kokon1(in_code, "BLh1", p);
        // "-0" degrees: the angle lies between -1 and 0 degrees.
        if (job.in_format == 3) {
            if (read_signs.b) p.ell_b = -p.ell_b;
            if (read_signs.l) p.ell_l = -p.ell_l;
        }

        model.query(p.ell_b, p.ell_l, w.height_anomaly, message);
        if (message == interp::kMsgOutside) ++o.outside;
        if (w.height_anomaly == interp::kDummy || !message.empty()) {
            // Also after an error of the model file: never an N left over from another point.
            if (message != interp::kMsgOutside) ++o.model_errors;
            w.height_anomaly = w.normal_height = kWrittenDummy;
        } else {
            w.normal_height = p.ell_h - w.height_anomaly;
        }

        Signs signs = read_signs;
        if (job.out_format != job.in_format) {
            if (job.out_format != 2) convert::kokon1("BLh1", out_code, p);
            signs.b = p.ell_b < 0.0 && p.b_deg == 0;
            signs.l = p.ell_l < 0.0 && p.l_deg == 0;
        }

        if (job.pnr_flag == 1) {
            // Written as read, in UTF-8; cut to 30 characters, at least pnr_length wide.
            point_number = utf8 && textio::is_valid_utf8(raw_number) ? raw_number : textio::cp1252_to_utf8(raw_number);
            point_number = first_chars(point_number, kPointNumberChars);
            batch += point_number;
            const std::size_t n = chars(point_number);
            if (n < pnr_width) batch.append(pnr_width - n, ' ');
            batch += "  ";
        }
        put_coordinates(batch, job.out_format, p, signs);
        textio::put_fixed(batch, p.ell_h, 10, 3);
        textio::put_fixed(batch, w.normal_height, 10, 3);
        textio::put_fixed(batch, w.height_anomaly, 10, 3);
        if (!message.empty()) {
            batch += ' ';
            batch += textio::trim_trailing(message);
        }
        batch += '\n';
        if (batch.size() >= kBatch) {
            std::fwrite(batch.data(), 1, batch.size(), out);
            batch.clear();
        }
    }
    // Lines already computed are written whatever ended the loop.
    std::fwrite(batch.data(), 1, batch.size(), out);
    const bool write_failed = std::fflush(out) != 0 || std::ferror(out) != 0;
    const bool close_failed = std::fclose(out) != 0;
    close_in();
    if (read_error) return refuse(kMsgReadError + input_name);
    if (write_failed || close_failed) return refuse(kMsgWriteError + output_name);
    reporter.finished(closing_message(o));
    return o;
}

}  // namespace filecalc

// Text helpers shared by both programs: blank-padded texts, fixed-point and integer fields,
// and the free-format reader for point and coordinate files.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>
#include <string_view>
#include <vector>

namespace textio {

/// Position (counted from 1) of the last character of the text that is not a blank (0x20); 0
/// when the text is empty or holds only blanks. Tabs and NULs are ordinary characters.
int lench(std::string_view text);

/// The text without its trailing blanks.
std::string_view trim_trailing(std::string_view text);

/// Appends v rounded to `decimals` places, right-justified in exactly `width` characters
/// (rounded like printf("%*.*f")). A value that does not fit, or is not finite, fills the
/// field with asterisks.
void put_fixed(std::string& out, double v, int width, int decimals);

/// Appends v rounded to `decimals` places as put_fixed does, without padding and with `point`
/// as the decimal separator; nothing when v is not finite.
void put_decimal(std::string& out, double v, int decimals, char point);

/// Appends an integer right-justified in exactly `width` characters, asterisks when too wide.
void put_integer(std::string& out, long long v, int width);

/// The text with A to Z as a to z: option values are compared in any case.
std::string ascii_lower(std::string_view text);

/// Bytes of result lines the programs collect before they write them in one call.
inline constexpr std::size_t kWriteBatch = 1 << 18;

/// Position (from 1) of the last character that is neither a blank nor a NUL; 0 if none.
int actual_length(std::string_view text);

/// A file name as the programs take it where it enters them (a file dialog, an option, an
/// answer, a record of the file form): without trailing blanks and NUL bytes.
std::string name_of(std::string_view text);

/// Converts the text of an integer field: blanks around it are ignored, then an optional sign
/// and at most 10 digits up to 2147483647. False on any other text (value 0); a lone sign
/// converts to 0 without error.
bool text_to_int32(std::string_view text, std::int32_t& value);

/// Widest field a format text may ask for; longer digit runs saturate here.
inline constexpr int kMaxFieldWidth = 512;

/// A format text: "(fW.D)" fixed-point, W characters with D decimals; "(iW)" integer.
struct FieldFormat {
    char kind = 'f';  ///< 'f' or 'i'
    int width = 0;    ///< 0: as wide as the number needs
    int decimals = 0;
};
/// Parses "(fW.D)" or "(iW)" (parentheses and case optional). Width and decimals saturate at
/// kMaxFieldWidth. False when the text is no such format.
bool parse_format(std::string_view text, FieldFormat& format);
/// The value written by a format text; an integer format writes the value rounded.
std::string format_real(double v, std::string_view format);
/// The integer written by "(iW)": right-aligned in W characters, asterisks when too wide.
std::string format_integer(long long v, std::string_view format);

/// Longest token (number or text value) the readers take; a longer one is a read error
/// wherever it stands.
inline constexpr std::size_t kMaxToken = 256;

/// Parses one free-format number token: optional sign, digits with an optional decimal
/// point, optional exponent with E or D. A value too small for a double reads as zero. False
/// for anything else: overflow, or a token longer than kMaxToken.
bool parse_number(std::string_view token, double& value);

/// parse_number, with one decimal comma allowed in place of the point ("52,5163"), as
/// spreadsheets write numbers in German.
bool parse_decimal(std::string_view token, double& value);

/// Parses one integer token (optional sign, digits only). False for anything else.
bool parse_integer(std::string_view token, long long& value);

enum class ReadStatus {
    Ok,     ///< every requested value was read
    End,    ///< the file ended before the read was complete: the normal end of the data
    Error,  ///< a value is not a number (or an empty value, a slash, a repeat count)
};

/// Where and why a read ended in ReadStatus::Error.
struct ReadFailure {
    enum class Kind {
        NotNumber,    ///< the text is no free-format number
        NotInteger,   ///< a whole number (within 32 bits) was expected
        EmptyValue,   ///< two commas with nothing between them
        TooLong,      ///< longer than kMaxToken
        BadText,      ///< a text value that cannot be read (a lone slash, a quote after its end)
        OpenQuote,    ///< a quoted text that does not end on its line
        Io,           ///< the file could not be read further
        EmptyField,   ///< a separated list's field holds nothing where a number belongs
        TooFewValues, ///< a separated list's line ends before the values it must hold
        LineTooLong,  ///< a line longer than kMaxLine
        NoZone,       ///< an easting without the zone number in front
        DecimalComma, ///< a number written with a decimal comma where blanks and commas separate
    };
    Kind kind = Kind::Io;
    std::int64_t line = 0;  ///< physical line of the file, counted from 1
    int item = 0;           ///< the value of the read (or item of the record) that failed
    std::string text;       ///< what stood there, at most kMaxToken + 1 bytes
};

/// Longest line a separated list or the rest of a line may have.
inline constexpr std::size_t kMaxLine = 1 << 16;

/// The fields of a separated list's line: blanks (and tabs, unless they separate) around a
/// field dropped, a field in quotation marks taken without them (a doubled mark stands for
/// one). Used for what follows the values taken on a line.
std::vector<std::string> split_fields(std::string_view line, char separator);

/// Free-format reader over a text file. A read takes exactly the values it needs, continues
/// on the next line when a line holds fewer and drops the rest of the line after the last value
/// taken. Blanks, tabs and single commas separate values; a number written with a decimal comma
/// between blanks (80,412) is an error, never two values. A line ends at LF, CR LF or a lone
/// CR; a UTF-8 byte-order mark at the start is ignored. Reads in fixed-size chunks, so
/// memory does not grow with the file.
class FreeReader {
public:
    /// Reads `file` from its start, or a pipe from where it stands, through a buffer of
    /// `buffer_bytes` (at least a token's length).
    explicit FreeReader(std::FILE* file, std::size_t buffer_bytes = kBufferSize);
    /// Reads `text` as the whole of a file.
    explicit FreeReader(std::string_view text);
    FreeReader(const FreeReader&) = delete;
    FreeReader& operator=(const FreeReader&) = delete;

    /// Reads `count` numbers into values[0..count).
    ReadStatus read(double* values, int count);

    enum class Item {
        Number,   ///< a free-format number
        Integer,  ///< digits with an optional sign, within 32 bits
        Text,     ///< a run of characters up to a blank, tab, comma or line end, or a string in
                  ///< apostrophes or quotation marks (a doubled mark stands for one)
    };
    /// Reads one record of `count` items: values[k] receives item k when it is a number or an
    /// integer, `text` the text item. Bit k of `negative_zero` is set for an integer item
    /// written "-0" (a sign that the value alone cannot carry).
    /// With `rest`, what follows the last item on its line goes there instead of being dropped:
    /// blanks at both ends and a separating comma (in a separated list: the separator) removed.
    ReadStatus read_record(const Item* items, int count, double* values, std::string& text, unsigned& negative_zero,
                           std::string* rest = nullptr);

    /// Reads a separated list from now on: one record per line, fields separated by
    /// `separator` (';' or '\t'; ' ': runs of blanks and tabs), numbers with a decimal comma or
    /// point. A line of nothing but blanks and separators holds no record; a line with too few
    /// fields is an error.
    void set_separator(char separator) { separator_ = separator; }

    /// Number item `k` of read_record is written with the zone number `zone` in front
    /// (32412345.678 in zone 32): the digits are taken off the text before the number is read,
    /// and a number without them, or not below 1000000 without them, is a NoZone error. 0: none.
    void set_zone_prefix(int k, int zone) { zone_prefix_[k & 7] = zone; }

    /// Skips `count` lines (header lines), their texts (without line ends, at most kMaxLine
    /// bytes each) into `texts` when given; false when the file ends before.
    bool skip_lines(int count, std::vector<std::string>* texts = nullptr);

    /// After ReadStatus::Ok: the line on which item k stood.
    std::int64_t item_line(int k) const { return item_lines_[k & 7]; }

    /// Bytes of the file consumed so far.
    std::int64_t offset() const;

    /// After ReadStatus::Error: where and why.
    const ReadFailure& failure() const { return failure_; }
    /// After ReadStatus::Ok: the values of the last read stood on more than one line.
    bool continued() const { return continued_; }

    /// Before the first read: the first bytes of the file, as many as the buffer holds (a
    /// sample that decides its encoding), and whether the file may go on beyond them.
    std::string_view first_bytes();
    bool first_bytes_cut() const;

    /// Goes back to the start of the line on which the last read ended.
    bool backspace();

private:
    int peek();
    int get();
    bool fill();
    bool read_more();
    bool seek(std::int64_t offset, std::int64_t line);
    void start_at(std::int64_t offset, std::int64_t line);
    ReadStatus skip_to_token();
    ReadStatus next_token(std::string_view& token);
    ReadStatus next_text(std::string& text);
    void skip_line();
    void end_line(int c);
    ReadStatus fail(ReadFailure::Kind kind, std::string_view text = {});
    ReadStatus next_line(std::string_view& line, std::int64_t& number);
    ReadStatus read_separated(const Item* items, int count, double* values, std::string& text, unsigned& negative_zero,
                              std::string* rest);
    ReadStatus take_rest(std::string& rest);
    bool decimal_comma_follows(std::string_view token);
    std::size_t ahead(std::size_t want);
    ReadStatus number_item(int k, std::string_view token, double* values);

public:
    static constexpr std::size_t kBufferSize = 1 << 16;

private:
    std::FILE* file_;
    std::string buffer_;
    std::string scratch_;  // a token that crosses the end of the buffer
    std::size_t pos_ = 0;
    std::size_t len_ = 0;
    std::int64_t buffer_offset_ = 0;    // file offset of buffer_[0]
    std::int64_t line_start_ = 0;       // file offset of the start of the current line
    std::int64_t last_line_start_ = 0;  // start of the line on which the last read ended
    std::int64_t line_ = 1;             // physical line of the current position, from 1
    std::int64_t last_line_ = 1;        // its number for last_line_start_
    int item_ = 0;                      // the value the current read is at
    bool continued_ = false;
    ReadFailure failure_;
    bool comma_pending_ = true;         // a comma now would be an empty value
    bool after_comma_ = false;          // the token just taken follows a comma directly
    int zone_prefix_[8] = {};           // per item: the zone number written in front, 0 for none
    char separator_ = 0;                // a separated list's separator, 0 for free format
    std::string line_copy_;             // a separated line that crosses the end of the buffer
    std::int64_t item_lines_[8] = {};
    bool at_eof_ = false;
    bool io_error_ = false;
};

}  // namespace textio

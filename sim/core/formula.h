// The unit's formula language: parsing into a node table and evaluation.
//
// Blanks are ignored and letters may be of either case. A formula combines numbers, probe (Pn),
// analog (An) and channel (Cn) readings with + - * /, unary minus, parentheses and the functions
// ABS, SQRT, GOR/LOR/AVG over a range such as P1:P4, and MAX/MIN/TIR, which remember the extremes
// of their argument until the unit's max/min memory is reset.
#pragma once

#include <cstdint>
#include <string_view>
#include <vector>

namespace qorsim {

// Error numbers as the unit reports them.
enum FormulaError : int {
    kFormulaOk = 0,
    kBadChannel = 10,
    kSyntax = 12,
    kUnbalanced = 13,
    kTooManyNodes = 14,
    kBadProbe = 15,
    kMissingOperand = 16,
    kBadNumber = 17,
    kUnknownSymbol = 18,
    kTooDeep = 19,
    kCircular = 20,
    kMemoryFull = 21,
    kArgumentCount = 22,
    kBadRange = 23,
};

inline constexpr int kMaxFormulaNodes = 1024;
inline constexpr int kMaxFormulaChars = 4096;
inline constexpr int kMaxFormulaNesting = 16;

// What a formula may refer to: inputs 1..probes, 1..analogs, channels 1..channels.
struct FormulaLimits {
    int probes = 0;
    int analogs = 0;
    int channels = 0;
};

// Readings a formula draws on. kind is 'P', 'A' or 'C'.
class InputSource {
public:
    virtual ~InputSource() = default;
    virtual double input(char kind, int index) const = 0;
};

class Formula {
public:
    // Parses text; returns kFormulaOk and fills out, or the error number (out is then empty).
    static int parse(std::string_view text, const FormulaLimits &limits, Formula &out);

    bool empty() const { return nodes_.empty(); }
    int nodeCount() const { return static_cast<int>(nodes_.size()); }
    // Channels this formula reads, directly or through a range of channels.
    std::vector<int> channelsUsed() const;
    // Evaluates the formula and feeds MAX/MIN/TIR with the value of their argument.
    double evaluate(const InputSource &inputs);
    // Forgets the extremes of MAX/MIN/TIR.
    void resetExtremes();

    enum class Op : std::uint8_t {
        Number,
        Input,
        Neg,
        Add,
        Sub,
        Mul,
        Div,
        Abs,
        Sqrt,
        Gor,
        Lor,
        Avg,
        Max,
        Min,
        Tir
    };
    struct Node {
        Op op = Op::Number;
        double number = 0;
        char kind = 0; // 'P', 'A', 'C' for Input and the range functions
        int first = 0; // input index, or first of a range
        int last = 0;  // last of a range
        int lhs = -1;  // operand node indices
        int rhs = -1;
        double high = 0; // extremes for Max/Min/Tir
        double low = 0;
        bool seen = false;
    };

private:
    double eval(int index, const InputSource &inputs);

    std::vector<Node> nodes_;
    int root_ = -1;
    friend class FormulaParser;
};

} // namespace qorsim

#include "formula.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdlib>
#include <string>

namespace qorsim {

namespace {

struct FunctionName {
    const char *name;
    Formula::Op op;
    bool takesRange;
};

constexpr FunctionName kFunctions[] = {
    {"ABS", Formula::Op::Abs, false}, {"SQRT", Formula::Op::Sqrt, false},
    {"GOR", Formula::Op::Gor, true},  {"LOR", Formula::Op::Lor, true},
    {"AVG", Formula::Op::Avg, true},  {"MAX", Formula::Op::Max, false},
    {"MIN", Formula::Op::Min, false}, {"TIR", Formula::Op::Tir, false},
};

bool isDigit(char c) {
    return c >= '0' && c <= '9';
}
bool isLetter(char c) {
    return c >= 'A' && c <= 'Z';
}

// A real value, or 0 where arithmetic ran off the finite numbers.
double finite(double v) {
    return std::isfinite(v) ? v : 0.0;
}

} // namespace

// Recursive descent over the text with blanks removed and letters in upper case. The first
// error found wins; parsing stops there.
class FormulaParser {
public:
    FormulaParser(std::string_view text, const FormulaLimits &limits, Formula &out)
        : limits_(limits), out_(out) {
        for (char c : text) {
            if (!std::isspace(static_cast<unsigned char>(c)))
                s_ += static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
        }
    }

    int run() {
        int root = expression();
        if (!error_ && pos_ < s_.size())
            fail(s_[pos_] == ')' ? kUnbalanced : kSyntax);
        if (error_)
            return error_;
        out_.root_ = root;
        return kFormulaOk;
    }

private:
    char peek() const { return pos_ < s_.size() ? s_[pos_] : '\0'; }

    int fail(int code) {
        if (!error_)
            error_ = code;
        return -1;
    }

    int add(Formula::Node node) {
        if (static_cast<int>(out_.nodes_.size()) >= kMaxFormulaNodes)
            return fail(kTooManyNodes);
        out_.nodes_.push_back(node);
        return static_cast<int>(out_.nodes_.size()) - 1;
    }

    int binary(Formula::Op op, int lhs, int rhs) {
        Formula::Node node;
        node.op = op;
        node.lhs = lhs;
        node.rhs = rhs;
        return add(node);
    }

    int expression() {
        int lhs = term();
        while (!error_ && (peek() == '+' || peek() == '-')) {
            Formula::Op op = peek() == '+' ? Formula::Op::Add : Formula::Op::Sub;
            ++pos_;
            int rhs = term();
            lhs = error_ ? -1 : binary(op, lhs, rhs);
        }
        return lhs;
    }

    int term() {
        int lhs = unary();
        while (!error_ && (peek() == '*' || peek() == '/')) {
            Formula::Op op = peek() == '*' ? Formula::Op::Mul : Formula::Op::Div;
            ++pos_;
            int rhs = unary();
            lhs = error_ ? -1 : binary(op, lhs, rhs);
        }
        return lhs;
    }

    int unary() {
        if (peek() == '+') {
            ++pos_;
            return unary();
        }
        if (peek() == '-') {
            ++pos_;
            int operand = unary();
            return error_ ? -1 : binary(Formula::Op::Neg, operand, -1);
        }
        return primary();
    }

    int primary() {
        char c = peek();
        if (c == '\0' || c == ')' || c == '*' || c == '/')
            return fail(kMissingOperand);
        if (c == '(') {
            if (!enter())
                return -1;
            int inner = expression();
            if (!error_ && !close())
                return -1;
            return inner;
        }
        if (isDigit(c) || c == '.')
            return number();
        if (isLetter(c))
            return name();
        return fail(kSyntax);
    }

    bool enter() {
        ++pos_;
        if (++depth_ > kMaxFormulaNesting) {
            fail(kTooDeep);
            return false;
        }
        return true;
    }

    bool close() {
        if (peek() != ')') {
            fail(pos_ >= s_.size() ? kUnbalanced : kSyntax);
            return false;
        }
        ++pos_;
        --depth_;
        return true;
    }

    // digits with at most one point, then optionally E, a sign and digits.
    int number() {
        std::size_t start = pos_;
        int digits = 0, points = 0;
        while (isDigit(peek()) || peek() == '.') {
            (peek() == '.' ? points : digits)++;
            ++pos_;
        }
        bool good = digits > 0 && points <= 1;
        if (peek() == 'E') {
            ++pos_;
            if (peek() == '+' || peek() == '-')
                ++pos_;
            int expDigits = 0;
            while (isDigit(peek())) {
                ++expDigits;
                ++pos_;
            }
            good = good && expDigits > 0;
        }
        if (!good || peek() == '.')
            return fail(kBadNumber);
        Formula::Node node;
        node.op = Formula::Op::Number;
        node.number = std::strtod(s_.substr(start, pos_ - start).c_str(), nullptr);
        return add(node);
    }

    // Checks an input reference's number against what is installed.
    bool inRange(char kind, long index) {
        if (kind == 'P' && (index < 1 || index > limits_.probes))
            return fail(kBadProbe), false;
        if (kind == 'A' && (index < 1 || index > limits_.analogs))
            return fail(kBadProbe), false;
        if (kind == 'C' && (index < 1 || index > limits_.channels))
            return fail(kBadChannel), false;
        return true;
    }

    // Reads Pn, An or Cn at the current position; false (error set) when there is none.
    bool inputRef(char &kind, int &index) {
        kind = peek();
        if (kind != 'P' && kind != 'A' && kind != 'C') {
            fail(isLetter(kind) ? kUnknownSymbol : kSyntax);
            return false;
        }
        std::size_t start = ++pos_;
        while (isDigit(peek()))
            ++pos_;
        if (pos_ == start) {
            fail(kUnknownSymbol);
            return false;
        }
        long value = std::strtol(s_.substr(start, std::min<std::size_t>(pos_ - start, 9)).c_str(),
                                 nullptr, 10);
        if (!inRange(kind, value))
            return false;
        index = static_cast<int>(value);
        return true;
    }

    int name() {
        std::size_t start = pos_;
        while (isLetter(peek()))
            ++pos_;
        std::string word = s_.substr(start, pos_ - start);
        for (const FunctionName &f : kFunctions) {
            if (word == f.name) {
                if (peek() != '(')
                    return fail(kSyntax);
                if (!enter())
                    return -1;
                return f.takesRange ? rangeCall(f.op) : call(f.op);
            }
        }
        if (word.size() == 1 && (word == "P" || word == "A" || word == "C") && isDigit(peek())) {
            pos_ = start;
            Formula::Node node;
            node.op = Formula::Op::Input;
            if (!inputRef(node.kind, node.first))
                return -1;
            return add(node);
        }
        return fail(kUnknownSymbol);
    }

    int call(Formula::Op op) {
        if (peek() == ')')
            return fail(kArgumentCount);
        int argument = expression();
        if (error_)
            return -1;
        if (peek() == ',' || peek() == ':')
            return fail(kArgumentCount);
        if (!close())
            return -1;
        return binary(op, argument, -1);
    }

    int rangeCall(Formula::Op op) {
        if (peek() == ')' || peek() == ',')
            return fail(kArgumentCount);
        Formula::Node node;
        node.op = op;
        char lastKind = 0;
        if (!inputRef(node.kind, node.first))
            return -1;
        if (peek() != ':')
            return fail(peek() == ')' || peek() == ',' ? kArgumentCount : kSyntax);
        ++pos_;
        if (!inputRef(lastKind, node.last))
            return -1;
        if (peek() == ',' || peek() == ':')
            return fail(kArgumentCount);
        if (lastKind != node.kind || node.last < node.first)
            return fail(kBadRange);
        if (!close())
            return -1;
        return add(node);
    }

    std::string s_;
    std::size_t pos_ = 0;
    int depth_ = 0;
    int error_ = 0;
    const FormulaLimits &limits_;
    Formula &out_;
};

int Formula::parse(std::string_view text, const FormulaLimits &limits, Formula &out) {
    out = Formula();
    int error = FormulaParser(text, limits, out).run();
    if (error)
        out = Formula();
    return error;
}

std::vector<int> Formula::channelsUsed() const {
    std::vector<int> used;
    for (const Node &n : nodes_) {
        if (n.kind != 'C')
            continue;
        int last = n.op == Op::Input ? n.first : n.last;
        for (int c = n.first; c <= last; ++c)
            used.push_back(c);
    }
    return used;
}

double Formula::evaluate(const InputSource &inputs) {
    return root_ < 0 ? 0.0 : finite(eval(root_, inputs));
}

void Formula::resetExtremes() {
    for (Node &n : nodes_)
        n.seen = false;
}

double Formula::eval(int index, const InputSource &inputs) {
    Node &n = nodes_[static_cast<std::size_t>(index)];
    auto operand = [&](int i) {
        return finite(eval(i, inputs));
    };
    switch (n.op) {
    case Op::Number:
        return n.number;
    case Op::Input:
        return inputs.input(n.kind, n.first);
    case Op::Neg:
        return -operand(n.lhs);
    case Op::Add:
        return operand(n.lhs) + operand(n.rhs);
    case Op::Sub:
        return operand(n.lhs) - operand(n.rhs);
    case Op::Mul:
        return operand(n.lhs) * operand(n.rhs);
    case Op::Div: {
        double lhs = operand(n.lhs), rhs = operand(n.rhs);
        return rhs == 0.0 ? 0.0 : lhs / rhs;
    }
    case Op::Abs:
        return std::fabs(operand(n.lhs));
    case Op::Sqrt: {
        double x = operand(n.lhs);
        return x > 0.0 ? std::sqrt(x) : 0.0;
    }
    case Op::Gor:
    case Op::Lor:
    case Op::Avg: {
        double acc = n.op == Op::Avg ? 0.0 : inputs.input(n.kind, n.first);
        for (int i = n.first; i <= n.last; ++i) {
            double v = inputs.input(n.kind, i);
            acc = n.op == Op::Gor ? std::max(acc, v) : n.op == Op::Lor ? std::min(acc, v) : acc + v;
        }
        return n.op == Op::Avg ? acc / (n.last - n.first + 1) : acc;
    }
    case Op::Max:
    case Op::Min:
    case Op::Tir: {
        double x = operand(n.lhs);
        n.high = n.seen ? std::max(n.high, x) : x;
        n.low = n.seen ? std::min(n.low, x) : x;
        n.seen = true;
        return n.op == Op::Max ? n.high : n.op == Op::Min ? n.low : n.high - n.low;
    }
    }
    return 0.0;
}

} // namespace qorsim

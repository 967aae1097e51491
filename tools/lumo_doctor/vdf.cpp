#include "lumo_doctor/vdf.h"

#include <optional>

#include "text/ascii.h"

namespace lumo::doctor {

namespace {

// Game and Steam files nest a handful of blocks; the limit keeps a hostile file from
// exhausting the stack when the tree is copied or destroyed, both of which recurse.
constexpr std::size_t kMaxDepth = 64;

struct Token {
    enum class Kind { text, open, close, end } kind = Kind::end;
    std::string text;
    int line = 1;
};

class Tokenizer {
public:
    explicit Tokenizer(std::string_view text) : text_(text) {}

    // The next token, or nullopt with `error` set.
    std::optional<Token> next(std::string& error) {
        skipBlanksAndComments();
        Token token;
        token.line = line_;
        if (pos_ >= text_.size()) return token;
        const char c = text_[pos_];
        if (c == '{' || c == '}') {
            ++pos_;
            token.kind = c == '{' ? Token::Kind::open : Token::Kind::close;
            return token;
        }
        token.kind = Token::Kind::text;
        if (c == '"') return quoted(token, error);
        while (pos_ < text_.size() && !isSpace(text_[pos_]) && text_[pos_] != '{' && text_[pos_] != '}' &&
               text_[pos_] != '"') {
            token.text += text_[pos_++];
        }
        return token;
    }

    int line() const { return line_; }

private:
    static bool isSpace(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

    void skipBlanksAndComments() {
        while (pos_ < text_.size()) {
            if (text_[pos_] == '\n') {
                ++line_;
                ++pos_;
            } else if (isSpace(text_[pos_])) {
                ++pos_;
            } else if (text_.substr(pos_, 2) == "//") {
                while (pos_ < text_.size() && text_[pos_] != '\n') ++pos_;
            } else {
                return;
            }
        }
    }

    std::optional<Token> quoted(Token& token, std::string& error) {
        ++pos_;
        while (pos_ < text_.size()) {
            const char c = text_[pos_++];
            if (c == '"') return token;
            if (c == '\n') ++line_;
            if (c == '\\' && pos_ < text_.size()) {
                const char escaped = text_[pos_++];
                token.text += escaped == 'n' ? '\n' : escaped == 't' ? '\t' : escaped;
                continue;
            }
            token.text += c;
        }
        error = "a quoted text is never closed";
        return std::nullopt;
    }

    std::string_view text_;
    std::size_t pos_ = 0;
    int line_ = 1;
};

}  // namespace

VdfNode::VdfNode() = default;
VdfNode::VdfNode(const VdfNode&) = default;
VdfNode::VdfNode(VdfNode&&) noexcept = default;
VdfNode& VdfNode::operator=(const VdfNode&) = default;
VdfNode& VdfNode::operator=(VdfNode&&) noexcept = default;
VdfNode::~VdfNode() = default;

const std::string* VdfNode::value(std::string_view key) const {
    for (const auto& [name, text] : values) {
        if (util::equalsIgnoringAsciiCase(name, key)) return &text;
    }
    return nullptr;
}

const VdfNode* VdfNode::child(std::string_view key) const {
    for (const auto& [name, node] : children) {
        if (util::equalsIgnoringAsciiCase(name, key)) return &node;
    }
    return nullptr;
}

const VdfNode* VdfNode::path(std::initializer_list<std::string_view> keys) const {
    const VdfNode* node = this;
    for (const std::string_view key : keys) {
        if (node == nullptr) return nullptr;
        node = node->child(key);
    }
    return node;
}

VdfResult parseVdf(std::string_view text) {
    VdfResult result;
    Tokenizer tokens(text);
    // The blocks being filled, outermost first; pointers stay valid because only the
    // innermost block's vectors grow.
    std::vector<VdfNode*> open{&result.root};
    std::vector<int> openedAt;
    const auto fail = [&](std::string message, int line) {
        result.error = std::move(message);
        result.errorLine = line;
        return result;
    };
    for (;;) {
        std::string error;
        std::optional<Token> key = tokens.next(error);
        if (!key) return fail(error, tokens.line());
        if (key->kind == Token::Kind::end) {
            if (open.size() > 1) return fail("a block opened on line " + std::to_string(openedAt.back()) + " is never closed", key->line);
            return result;
        }
        if (key->kind == Token::Kind::close) {
            if (open.size() == 1) return fail("a closing } without an opening {", key->line);
            open.pop_back();
            openedAt.pop_back();
            continue;
        }
        if (key->kind == Token::Kind::open) return fail("a { where a key belongs", key->line);
        std::optional<Token> value = tokens.next(error);
        if (!value) return fail(error, tokens.line());
        switch (value->kind) {
        case Token::Kind::text:
            open.back()->values.emplace_back(key->text, value->text);
            break;
        case Token::Kind::open:
            if (open.size() > kMaxDepth)
                return fail("blocks nested deeper than " + std::to_string(kMaxDepth), value->line);
            open.back()->children.emplace_back(key->text, VdfNode{});
            open.push_back(&open.back()->children.back().second);
            openedAt.push_back(value->line);
            break;
        case Token::Kind::close:
        case Token::Kind::end:
            return fail("missing { or a value after \"" + key->text + "\"", value->line);
        }
    }
}

}  // namespace lumo::doctor

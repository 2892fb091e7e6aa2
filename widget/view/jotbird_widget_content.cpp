// What the widget draws: header, note rows or the empty state, and the footer.
#include <algorithm>
#include <span>

#include "platform/foundation/bundle.hpp"
#include "platform/foundation/url_encoding.hpp"
#include "widget/view/jotbird_widget_view.hpp"
#include "widget/view/widget_add_mark.hpp"

namespace jotbird {
namespace {

using namespace ui;

constexpr std::string_view homeURL = "jotbird-open://home";
constexpr std::string_view newNoteURL = "jotbird-open://new";
constexpr std::string_view noteURLPrefix = "jotbird-open://note/";

std::string noteURL(const NotePreview& note) {
    std::string url(noteURLPrefix);
    if (auto encoded =
            foundation::addingPercentEncoding(note.id, foundation::URLCharacterSet::urlPathAllowed))
        url += *encoded;
    return url;
}

// The brand artwork from the bundle, looked up and loaded on every build; the name in
// bold caption type when either step fails.
View brandMark() {
    const auto file = foundation::Bundle::main().urlForResource("JotbirdBrand", "png");
    const auto image = file ? NSImage::contentsOf(*file) : std::nullopt;
    if (!image) return Text(LocalizedStringKey{"Jotbird"}).font(Font::caption().bold());
    return Image(*image)
        .resizable()
        .scaledToFit()
        .frame(FixedFrame{.width = 66, .height = 22})
        .accessibilityLabel({"Jotbird"});
}

View header(std::int64_t total) {
    return HStack(Alignment::center(), 0,
                  {
                      brandMark(),
                      Spacer(),
                      Text(LocalizedStringKey{"%lld", {total}})
                          .privacySensitive()
                          .font(Font::system(15, FontWeight::medium))
                          .monospacedDigit()
                          .foregroundStyle(ForegroundStyle::secondary()),
                  })
        .font(Font::system(13, FontWeight::semibold))
        .frame(FixedFrame{.height = 32});
}

View noteRow(const NotePreview& note, Color ring) {
    std::vector<View> items{
        Circle().strokeBorder(ring, 2).frame(FixedFrame{.width = 10, .height = 10}),
        Text(Verbatim{note.title.empty() ? "新便签" : note.title})
            .privacySensitive()
            .lineLimit(1)
            .frame(FlexibleFrame{.maxWidth = infinity, .alignment = Alignment::leading()}),
    };
    if (note.remindAt) {
        items.push_back(Text(TimeText{*note.remindAt / 1000.0})
                            .privacySensitive()
                            .font(Font::system(10))
                            .monospacedDigit()
                            .foregroundStyle(ForegroundStyle::secondary())
                            .fixedSize());
    }
    return Link(noteURL(note), HStack(Alignment::center(), 6, std::move(items))
                                   .font(Font::system(12))
                                   .frame(FlexibleFrame{.maxHeight = 24}));
}

View emptyStateLabel(const std::optional<std::int64_t>& folded) {
    const bool hasFolded = folded && *folded >= 1;
    return Label({hasFolded ? "待办已折叠" : "暂无待办"}, hasFolded ? "tray.full" : "tray")
        .font(Font::system(12, FontWeight::medium))
        .foregroundStyle(ForegroundStyle::secondary())
        .frame(FlexibleFrame{.maxWidth = infinity});
}

View footer(const std::optional<std::int64_t>& folded) {
    std::vector<View> items{
        Link(std::string(newNoteURL),
             HStack(Alignment::center(), 5,
                    {
                        WidgetAddMark{}
                            .view()
                            .fill(JotbirdWidgetView::addMarkYellow(),
                                  FillStyle{.eoFill = true, .antialiased = true})
                            .frame(FixedFrame{.width = 18, .height = 18})
                            .accessibilityHidden(true),
                        Text(LocalizedStringKey{"记下一件事"}).font(Font::system(12)),
                    })
                 .frame(FixedFrame{.height = 32})),
        Spacer(),
    };
    if (folded && *folded >= 1)
        items.push_back(Text(LocalizedStringKey{"已折叠 %lld", {*folded}})
                            .font(Font::system(10))
                            .foregroundStyle(ForegroundStyle::secondary()));
    return HStack(Alignment::center(), std::nullopt, std::move(items));
}

}  // namespace

View JotbirdWidgetView::body(const EnvironmentValues& environment) const {
    if (environment.isContainerBackgroundAvailable)
        return AnyView(content(environment)
                           .environment(colorScheme(environment))
                           .containerBackground(backgroundColor(environment)));
    return content(environment).environment(colorScheme(environment)).padding(14);
}

View JotbirdWidgetView::content(const EnvironmentValues& environment) const {
    const WidgetSnapshot& snapshot = entry.snapshot;
    std::vector<View> children{header(snapshot.total)};
    if (snapshot.notes.empty()) {
        children.push_back(Spacer(0));
        children.push_back(emptyStateLabel(snapshot.folded));
    } else {
        // Only the shown rows are built.
        const auto shown = std::min<std::size_t>(snapshot.notes.size(), limit(environment));
        const Color ringColor = ring(environment);
        children.push_back(ForEach(
            std::span(snapshot.notes).first(shown),
            [](const NotePreview& note) { return identity(note); },
            [&](const NotePreview& note) {
                return std::vector<View>{Divider(), noteRow(note, ringColor)};
            }));
    }
    children.push_back(Spacer(0));
    children.push_back(Divider());
    children.push_back(footer(snapshot.folded));
    return VStack(Alignment::leading(), 0, std::move(children)).widgetURL(std::string(homeURL));
}

}  // namespace jotbird

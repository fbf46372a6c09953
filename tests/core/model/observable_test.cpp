#include <gtest/gtest.h>

#include <string>

#include "core/model/event_subscriber.h"
#include "core/model/observable.h"
#include "model_test_support.h"

namespace {

constexpr UINT kValueMessage = WM_APP + 0x70;
constexpr UINT kOtherMessage = WM_APP + 0x71;

TEST(ObservableTest, AnnouncesEachChangeOnceAndNotARepeat)
{
    CObservable<int, 1> value(kValueMessage, 0);
    CRecordingWindow observer;
    CEventSubscriber subscriber;
    subscriber.Subscribe(observer.Handle(), value);

    value.Set(0);  // equal to the default, which counts as announced
    value.Set(7);
    value.Set(7);
    value.Set(3);

    EXPECT_EQ(value.Get(), 3);
    EXPECT_EQ(observer.Count(kValueMessage), 2u);
}

TEST(ObservableTest, ObserverReadsTheNewValueInsideItsHandler)
{
    CObservable<std::wstring, 1> value(kValueMessage, L"");
    CRecordingWindow observer;
    std::wstring seen;
    observer.onMessage = [&](UINT message, WPARAM) {
        if (message == kValueMessage)
            seen = value.Get();
    };
    CEventSubscriber subscriber;
    subscriber.Subscribe(observer.Handle(), value);

    value.Set(L"COM3");
    EXPECT_EQ(seen, L"COM3");
}

// A value whose message identifier is 0 is still announced: the observers get WM_NULL.
TEST(ObservableTest, MessageZeroIsStillSent)
{
    CObservable<int, 1> value(0, 0);
    CRecordingWindow observer;
    CEventSubscriber subscriber;
    subscriber.Subscribe(observer.Handle(), value);

    value.Set(1);
    EXPECT_EQ(observer.Count(WM_NULL), 1u);
}

TEST(ObservableTest, ObserversHearInRegistrationOrderWithoutDuplicates)
{
    CObservable<int, 1> value(kValueMessage, 0);
    std::vector<int> order;
    CRecordingWindow first, second, third;
    first.onMessage = [&](UINT m, WPARAM) { if (m == kValueMessage) order.push_back(1); };
    second.onMessage = [&](UINT m, WPARAM) { if (m == kValueMessage) order.push_back(2); };
    third.onMessage = [&](UINT m, WPARAM) { if (m == kValueMessage) order.push_back(3); };

    CEventSubscriber subFirst, subSecond, subThird;
    subSecond.Subscribe(second.Handle(), value);
    subFirst.Subscribe(first.Handle(), value);
    subSecond.Subscribe(second.Handle(), value);  // already there: no second copy
    subThird.Subscribe(third.Handle(), value);

    value.Set(1);
    EXPECT_EQ(order, (std::vector<int>{2, 1, 3}));

    order.clear();
    subFirst.UnsubscribeAll();
    value.Set(2);
    EXPECT_EQ(order, (std::vector<int>{2, 3}));
}

TEST(ObservableTest, UnsubscribeAllLeavesEverySourceItJoined)
{
    CObservable<int, 1> a(kValueMessage, 0);
    CObservable<int, 1> b(kOtherMessage, 0);
    CRecordingWindow observer;
    {
        CEventSubscriber subscriber;
        subscriber.Subscribe(observer.Handle(), a);
        subscriber.Subscribe(observer.Handle(), b);
        a.Set(1);
        b.Set(1);
        subscriber.UnsubscribeAll();
        a.Set(2);
        EXPECT_EQ(observer.Count(kValueMessage), 1u);

        subscriber.Subscribe(observer.Handle(), b);
    }  // the subscriber's end drops what it still holds
    b.Set(2);
    EXPECT_EQ(observer.Count(kOtherMessage), 1u);
    EXPECT_TRUE(a.Observers().empty());
    EXPECT_TRUE(b.Observers().empty());
}

// A dialog's own value may end before the dialog's subscriber does, or the other way
// round: neither order leaves anything pointing at what is gone.
TEST(ObservableTest, SourceAndSubscriberMayEndInEitherOrder)
{
    CRecordingWindow observer;
    CObservable<int, 1> lasting(kOtherMessage, 0);
    CEventSubscriber subscriber;
    {
        CObservable<int, 1> shortLived(kValueMessage, 0);
        subscriber.Subscribe(observer.Handle(), shortLived);
        subscriber.Subscribe(observer.Handle(), lasting);
        EXPECT_TRUE(subscriber.IsSubscribed(shortLived));
    }
    lasting.Set(1);
    subscriber.UnsubscribeAll();
    lasting.Set(2);
    EXPECT_EQ(observer.Count(kOtherMessage), 1u);

    {
        CEventSubscriber shortSubscriber;
        shortSubscriber.Subscribe(observer.Handle(), lasting);
    }
    EXPECT_TRUE(lasting.Observers().empty());
}

TEST(ObservableTest, OneSubscriberServesOneWindow)
{
    CObservable<int, 1> value(kValueMessage, 0);
    CRecordingWindow mine, other;
    CEventSubscriber subscriber;
    EXPECT_TRUE(subscriber.Subscribe(mine.Handle(), value));
    EXPECT_FALSE(subscriber.Subscribe(other.Handle(), value));
    EXPECT_EQ(value.Observers(), (std::vector<HWND>{mine.Handle()}));
}

// Re-entrant notification: an observer that sets another value inside its handler
// causes a nested announcement before the outer walk goes on.
TEST(ObservableTest, NestedChangesAreAnnouncedInside)
{
    CObservable<int, 1> outer(kValueMessage, 0);
    CObservable<int, 1> inner(kOtherMessage, 0);
    std::vector<std::string> events;
    CRecordingWindow first, second;
    first.onMessage = [&](UINT m, WPARAM) {
        if (m == kValueMessage) {
            events.push_back("first outer");
            inner.Set(outer.Get() * 10);
        } else if (m == kOtherMessage) {
            events.push_back("first inner " + std::to_string(inner.Get()));
        }
    };
    second.onMessage = [&](UINT m, WPARAM) {
        if (m == kValueMessage)
            events.push_back("second outer");
    };
    CEventSubscriber subFirst, subSecond;
    subFirst.Subscribe(first.Handle(), outer);
    subFirst.Subscribe(first.Handle(), inner);
    subSecond.Subscribe(second.Handle(), outer);

    outer.Set(4);
    EXPECT_EQ(events, (std::vector<std::string>{"first outer", "first inner 40", "second outer"}));
}

// A page that unsubscribes while a change is being announced: the others are still
// told, and the one that left is not told again.
TEST(ObservableTest, ObserverLeavingDuringAnnouncementDoesNotSkipOthers)
{
    CObservable<int, 1> value(kValueMessage, 0);
    CRecordingWindow leaver, stayer;
    CEventSubscriber subLeaver, subStayer;
    leaver.onMessage = [&](UINT m, WPARAM) {
        if (m == kValueMessage)
            subLeaver.UnsubscribeAll();
    };
    subLeaver.Subscribe(leaver.Handle(), value);
    subStayer.Subscribe(stayer.Handle(), value);

    value.Set(1);
    value.Set(2);
    EXPECT_EQ(leaver.Count(kValueMessage), 1u);
    EXPECT_EQ(stayer.Count(kValueMessage), 2u);
}

TEST(ObservableTest, ElementChangeCarriesItsIndex)
{
    CObservable<std::wstring, 16> labels(kValueMessage, L"");
    CRecordingWindow observer;
    CEventSubscriber subscriber;
    subscriber.Subscribe(observer.Handle(), labels);

    labels.SetAt(0, L"Power");
    labels.SetAt(15, L"Tune");
    labels.SetAt(15, L"Tune");
    labels.SetAt(16, L"outside");  // no seventeenth button

    EXPECT_EQ(observer.Params(kValueMessage), (std::vector<WPARAM>{0, 15}));
    EXPECT_EQ(labels.GetAt(15), L"Tune");
    EXPECT_EQ(labels.GetAt(1), L"");
}

// Announcing to one window, as a window that has just subscribed fills itself: the
// other observers hear nothing, and a value of 16 elements sends every index in turn,
// through the base class as well.
TEST(ObservableTest, AnnouncingToOneWindowSendsEveryElementToItAlone)
{
    CObservable<int, 1> single(kValueMessage, 4);
    CObservable<std::wstring, 16> labels(kOtherMessage, L"");
    CRecordingWindow newcomer, other;
    CEventSubscriber subscriber;
    subscriber.Subscribe(other.Handle(), single);
    subscriber.Subscribe(other.Handle(), labels);

    single.Notify(newcomer.Handle());
    const CEventSource& source = labels;
    source.Notify(newcomer.Handle());

    EXPECT_EQ(newcomer.Params(kValueMessage), std::vector<WPARAM>{0});
    std::vector<WPARAM> indices(16);
    for (size_t i = 0; i < indices.size(); ++i)
        indices[i] = i;
    EXPECT_EQ(newcomer.Params(kOtherMessage), indices);
    EXPECT_TRUE(other.Messages().empty());
}

TEST(EventSourceTest, NotifyPassesWParamToEveryObserver)
{
    CEventSource done(WM_APP + 29);
    CRecordingWindow a, b;
    done.AddObserver(a.Handle());
    done.AddObserver(b.Handle());
    done.Notify(0xE2000052u);
    EXPECT_EQ(a.Params(WM_APP + 29), (std::vector<WPARAM>{0xE2000052u}));
    EXPECT_EQ(b.Params(WM_APP + 29), (std::vector<WPARAM>{0xE2000052u}));
}

}  // namespace

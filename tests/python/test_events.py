"""The schedule event classes, reached through a real schedule."""

import pytest

from tourwright import solve

from conftest import event_tuples

H = 3600
DAY = 19_723 * 86_400  # 2024-01-01T00:00:00Z


@pytest.fixture(scope="module")
def out():
    # A 10-hour job under 08:00-17:00 hours runs over closing time, so the
    # schedule holds work, an overnight wait, more work and the closing leg.
    return solve([[0]], [[H]], [10 * H], [[(DAY + 8 * H, DAY + 30 * H)]], (8 * H, 17 * H))


@pytest.fixture(scope="module")
def classes(out):
    kinds = {type(event).__name__: type(event) for event in out.schedule}
    base = next(iter(kinds.values())).__base__
    return base, kinds


def test_schedule_content(out):
    assert event_tuples(out.schedule) == [
        ("work", 0, DAY + 8 * H, DAY + 17 * H),
        ("wait", DAY + 17 * H, DAY + 32 * H),
        ("work", 0, DAY + 32 * H, DAY + 33 * H),
        ("travel", DAY + 33 * H, DAY + 34 * H),
    ]
    assert out.schedule is not out.schedule
    assert event_tuples(out.schedule) == event_tuples(out.schedule)


def test_class_hierarchy(classes):
    base, kinds = classes
    assert base.__name__ == "PyEvent"
    assert set(kinds) == {"PyEvent_Work", "PyEvent_Wait", "PyEvent_Travel"}
    assert base.Work is kinds["PyEvent_Work"]
    assert base.Wait is kinds["PyEvent_Wait"]
    assert base.Travel is kinds["PyEvent_Travel"]
    for name, kind in kinds.items():
        assert kind.__base__ is base
        assert kind.__match_args__ == ("_0",)
        assert kind.__text_signature__ == "(_0)"
        assert repr(kind) == f"<class '{name}'>"
        with pytest.raises(TypeError):
            type("Sub", (kind,), {})
    subclass = type("MyEvent", (base,), {})  # the base may be subclassed
    with pytest.raises(TypeError, match="^No constructor defined for MyEvent$"):
        subclass()


def test_item_access(out):
    for event in out.schedule:
        assert len(event) == 1
        assert event[0].window == event._0.window
        assert event[0] is not event[0]
        (payload,) = event
        assert list(event)[0].window == payload.window
        with pytest.raises(IndexError, match="^tuple index out of range$"):
            event[1]
        with pytest.raises(IndexError, match="^tuple index out of range$"):
            event[2**64 - 1]
        with pytest.raises(OverflowError):
            event[-1]
        with pytest.raises(OverflowError):
            event[2**64]
        with pytest.raises(TypeError, match="^argument 'idx': 'str' object cannot be interpreted"):
            event["0"]


def test_payloads(out):
    for event in out.schedule:
        payload = event._0
        start, end = payload.window
        assert isinstance(start, int) and start < end
        assert not hasattr(payload, "__dict__")
        with pytest.raises(AttributeError):
            payload.window = (0, 1)
        with pytest.raises(AttributeError):
            event._0 = payload
        if type(payload).__name__ == "PyWork":
            assert [name for name in vars(type(payload)) if not name.startswith("__")] == [
                "location", "window"]
            assert isinstance(payload.location, int)
        else:
            assert not hasattr(payload, "location")


def test_constructors(out, classes):
    base, kinds = classes
    work, wait = out.schedule[0], out.schedule[1]
    copy = base.Work(work._0)
    assert copy is not work and event_tuples([copy]) == event_tuples([work])
    assert event_tuples([base.Wait(_0=wait._0)]) == event_tuples([wait])
    cases = [
        (lambda: base.Work(5), "argument '_0': 'int' object cannot be converted to 'PyWork'"),
        (lambda: base.Wait(work._0), "argument '_0': 'PyWork' object cannot be converted to 'PyWait'"),
        (lambda: base.Travel(wait._0),
         "argument '_0': 'PyWait' object cannot be converted to 'PyTravel'"),
        (lambda: base.Work(), "PyEvent_Work.__new__() missing 1 required positional argument: '_0'"),
        (lambda: base.Wait(1, 2), "PyEvent_Wait.__new__() takes 1 positional arguments but 2 were given"),
        (lambda: base.Travel(x=1), "PyEvent_Travel.__new__() got an unexpected keyword argument 'x'"),
        (lambda: base.Work(work._0, _0=work._0),
         "PyEvent_Work.__new__() got multiple values for argument '_0'"),
        (lambda: base(), "No constructor defined for PyEvent"),
        (lambda: type(work._0)(), "No constructor defined for PyWork"),
        (lambda: type(wait._0)(), "No constructor defined for PyWait"),
    ]
    for call, message in cases:
        with pytest.raises(TypeError) as raised:
            call()
        assert str(raised.value) == message


def test_descriptors_refuse_other_classes(out, classes):
    base, _ = classes
    with pytest.raises(TypeError):
        base.Work._0.__get__(out.schedule[1])
    with pytest.raises(TypeError):
        base.Work.__getitem__(out.schedule[1], 0)


def test_match_statement_over_a_schedule(out, classes):
    base, _ = classes
    seen = []
    for event in out.schedule:
        match event:
            case base.Work(work):
                seen.append(("work", work.location))
            case base.Wait(pause):
                seen.append(("wait", pause.window[1] - pause.window[0]))
            case base.Travel(leg):
                seen.append(("travel", leg.window[1] - leg.window[0]))
    assert seen == [("work", 0), ("wait", 15 * H), ("work", 0), ("travel", H)]

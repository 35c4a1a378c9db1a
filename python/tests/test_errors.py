"""What a script gets for what the library or the conversions refuse: the error's class, its text from
the failing call alone, and nothing on standard error."""

import datetime
import uuid

import pytest

import cfgso

UTC = datetime.timezone.utc


def test_wrong_types_are_type_errors_and_refused_values_value_errors():
    ctx = cfgso.factory.createContext()
    with pytest.raises(TypeError) as error:
        ctx.setName(42)
    assert isinstance(error.value, cfgso.Error) and error.value.name == "DISP_E_TYPEMISMATCH"
    with pytest.raises(cfgso.ArgumentTypeError):
        ctx.setName(object())
    with pytest.raises(cfgso.ArgumentTypeError):  # one argument too many, as dispatch counts
        ctx.setName("a", "b")
    with pytest.raises(ValueError) as error:
        cfgso.manager().createRangeInterval(2 ** 40, 1)
    assert isinstance(error.value, cfgso.Error) and "32-bit" in str(error.value)
    # What the library refuses as a value: a null term.
    with pytest.raises(cfgso.ArgumentValueError):
        cfgso.manager().createSpecANDExpression().addSignedSpec(None)


@pytest.mark.parametrize("length", [0, 3, 15, 17, 1000])
def test_uuids_are_exactly_16_bytes(length):
    ctx = cfgso.factory.createContext()
    with pytest.raises(ValueError, match="exactly 16 bytes"):
        ctx.setUuid(b"x" * length)
    with pytest.raises(ValueError, match="exactly 16 bytes"):
        cfgso.factory.createUuidList().extend([bytes(16), b"x" * length])


def test_uuids_come_as_bytes_bytearray_or_uuid():
    ctx = cfgso.factory.createContext()
    value = uuid.uuid4()
    for given in (value.bytes, bytearray(value.bytes), value):
        ctx.setUuid(given)
        assert ctx.getUuid() == value.bytes
    for wrong in ("0" * 16, 16, [0] * 16):
        with pytest.raises(TypeError):
            ctx.setUuid(wrong)


def test_times_outside_the_stored_range_or_finer_than_seconds_are_refused():
    date = cfgso.factory.createDate()
    for inside in (cfgso.FIRST_TIME, cfgso.LAST_TIME, datetime.datetime(1901, 12, 14, tzinfo=UTC)):
        date.setKroTime(inside)
        assert date.getKroTime() == inside
    for outside in (cfgso.FIRST_TIME - datetime.timedelta(seconds=1), datetime.datetime(2038, 1, 20),
                    datetime.datetime(1, 1, 1), datetime.datetime(9999, 1, 1)):
        with pytest.raises(ValueError, match="1901-12-13 20:45:52 to 2038-01-19 03:14:07 UTC"):
            date.setKroTime(outside)
    with pytest.raises(ValueError, match="whole seconds"):
        date.setKroTime(datetime.datetime(2020, 1, 1, 0, 0, 0, 500))
    # A date alone is its midnight, in UTC.
    date.setKroTime(datetime.date(2020, 2, 3))
    assert date.getKroTime() == datetime.datetime(2020, 2, 3, tzinfo=UTC)


def test_text_that_is_not_unicode_is_a_value_error():
    ctx = cfgso.factory.createContext()
    with pytest.raises(ValueError, match="surrogate"):
        ctx.setName("a\udc80b")
    ctx.setName("Größe ✓ 日本")
    assert ctx.getName() == "Größe ✓ 日本"


def test_infinite_ends_come_back_as_none():
    mgr = cfgso.manager()
    start = datetime.datetime(2024, 1, 1, tzinfo=UTC)
    dates = cfgso.factory.createIntervalDate()
    dates.setInterval(mgr.createDateInterval(start, None))
    assert dates.isInfinite() and dates.getEnd() is None
    assert dates.getInterval().getDateBounds() == (start, None)
    ranks = cfgso.factory.createIntervalRange()
    ranks.setInterval(mgr.createRangeInterval(3, -1))
    assert ranks.getEnd() is None and ranks.getInterval().getRangeBounds() == (3, None)
    ranks.setInterval(mgr.createRangeInterval(3, 9))
    assert ranks.getEnd() == 9


def test_a_term_without_specification_is_refused_when_set():
    mgr = cfgso.manager()
    expression = mgr.createSpecANDExpression()
    expression.addSignedSpec(mgr.createSignedSpec())  # neither sign nor specification set
    record = cfgso.factory.createSpecExpression()
    with pytest.raises(cfgso.ArgumentValueError) as error:
        record.setSpecExpression(expression)
    assert error.value.name == "E_INVALIDARG"
    assert record.getAllSpecifications() == []  # the record is left empty


def test_each_error_tells_its_own_call_and_nothing_reaches_stderr(tmp_path, capfd):
    with pytest.raises(cfgso.FileError) as opened:
        cfgso.open(tmp_path / "missing.kro")
    assert "missing.kro" in str(opened.value)
    damaged = tmp_path / "damaged.kro"
    damaged.write_text("not a document\n")
    with pytest.raises(cfgso.FormatError):
        cfgso.open(damaged)
    # A save that fails before it reaches the documents says nothing of the earlier file.
    with pytest.raises(cfgso.Error) as saved:
        cfgso.save([cfgso.factory.createContext(), 42], tmp_path / "out.kro")
    assert "damaged.kro" not in str(saved.value) and "missing.kro" not in str(saved.value)
    with pytest.raises(cfgso.Error) as saved:
        cfgso.save(cfgso.factory.createContext(), tmp_path / "no" / "folder" / "out.kro")
    assert "damaged.kro" not in str(saved.value) and "out.kro" in str(saved.value)
    out, err = capfd.readouterr()
    assert (out, err) == ("", "")


def test_objects_are_made_by_the_module_only_and_never_recurse():
    with pytest.raises(TypeError):
        cfgso.Object(None)
    with pytest.raises(TypeError):
        cfgso.KroICfgSOContext("handle")
    with pytest.raises(TypeError):  # not even an empty one, which no call could use
        cfgso.Object.__new__(cfgso.KroICfgSOContext)
    # A method of one interface refuses an object held as another.
    with pytest.raises(TypeError, match="KroICfgSOContext"):
        cfgso.KroICfgSOContext.getName(cfgso.factory.createUuidList())
    with pytest.raises(AttributeError):
        cfgso.factory.createContext().noSuchMethod

"""Whole tasks: the Powertrain effectivity from the model objects to a reopened document, and a walk of
a streamed document through the attributes of every object."""

import datetime
import os
import pathlib
import subprocess
import sys

import pytest

import cfgso

EXAMPLES = pathlib.Path(__file__).resolve().parents[2] / "examples"
sys.path.insert(0, str(EXAMPLES))
import powertrain  # noqa: E402


def test_powertrain_effectivity_on_a_modification_reopens_in_a_fresh_process(tmp_path):
    modification, effectivity = powertrain.build()
    assert modification.getName() == "MOD-PT-2024"
    assert modification.getActionName() == "Release 2024"
    expected = "Powertrain [2024-01-01,2024-12-31] ENGINE-V6 AND NOT GEARBOX-AUTO"
    assert powertrain.describe(effectivity) == expected
    path = tmp_path / "powertrain.kro"
    cfgso.save([modification, effectivity], path)

    # Nothing of this process is there: only the document holds the data.
    shown = subprocess.run([sys.executable, str(EXAMPLES / "powertrain.py"), "show", str(path)],
                           capture_output=True, text=True, check=True, env=dict(os.environ))
    assert shown.stdout.splitlines() == [
        "modification MOD-PT-2024 (action Release 2024):  (%s)" % expected,
        "effectivity " + expected,
    ]
    assert shown.stderr == ""


def test_manager_makes_every_model_object_with_its_values():
    mgr = cfgso.manager()
    spec = mgr.createSpecification("S", "desc", "alias", "cond", "Cat", "Cat desc")
    assert (spec.getName(), spec.getDescription(), spec.getAlias(), spec.getConditionString()) == (
        "S", "desc", "alias", "cond")
    assert (spec.getCategory().getName(), spec.getCategory().getDescription()) == ("Cat", "Cat desc")
    assert mgr.createSpecification("T", "", "", "", "", "").getCategory() is None

    action = mgr.createActionSubscriber("Act")
    assert action.query("QuorINamedObject").getName() == "Act"
    group = mgr.createGroupMod([action])
    modification = mgr.createModification("M", "first", "second", group)
    assert modification.getEffectivityString() == ("first", "second")
    assert modification.getGroupMod().getSubscribers() == [action]
    assert mgr.createModification("N", "", "", None).getGroupMod() is None

    date = mgr.createDateMilestone("D", datetime.datetime(2024, 5, 1, tzinfo=cfgso.UTC))
    assert date.getName() == "D" and date.getValue().getType() == cfgso.IntervalKind.DATE
    assert mgr.createRangeMilestone("R", 7).getValue().getRangeValue() == 7
    context = mgr.createContext("Ctx")
    assert context.getName() == "Ctx"
    value = mgr.createNormalValue(None, mgr.createRangeInterval(1, 5), spec, modification, "start", "end")
    dates, ranks, condition, held = value.getValues()
    assert dates.getType() == cfgso.IntervalKind.NONE and ranks.getRangeBounds() == (1, 5)
    assert (condition, held) == (spec, modification)
    assert (value.getStartMilestoneName(), value.getEndMilestoneName()) == ("start", "end")
    filt = mgr.createFilter("F1", "Dom", context, [value], 2, True)
    assert filt.getId() == "F1" and filt.getMode() == 2 and filt.getMode150() is True
    assert filt.getDomainAndContext() == (context, "Dom", [value])
    record = cfgso.factory.createFilter()
    record.setFilter(filt)
    assert record.getFilter() == filt

    # The older way of making a term keeps working.
    term = mgr.createSignedSpec()
    term.setSign(cfgso.Sign.NEGATIVE)
    term.setSpecification(spec)
    assert (term.getSign(), term.getSpecification()) == (cfgso.Sign.NEGATIVE, spec)


# The Python type each kind word of the document format comes back as.
KIND_TYPES = {"integer": int, "double": float, "boolean": bool, "string": str, "octets": bytes,
              "specobject": cfgso.Object}


def test_a_streamed_document_is_walked_through_every_objects_attributes(tmp_path):
    tool = os.environ.get("CFGSO_TOOL")
    if not tool or not os.path.exists(tool):
        pytest.skip("the cfgso program is not built")
    path = tmp_path / "stream.kro"
    subprocess.run([tool, "stream", "--save", str(path)], check=True, capture_output=True)

    with cfgso.open(path) as document:
        listed = document.container.ListObjects()
        reached, queue = set(), list(document.roots)
        while queue:
            obj = queue.pop()
            if obj in reached:
                continue
            reached.add(obj)
            kinds = cfgso.attribute_kinds(obj)
            values = cfgso.attributes(obj)
            assert list(values) == list(kinds)
            for name, value in values.items():
                kind = kinds[name]
                items = value if kind.startswith("list ") else [value]
                wanted = KIND_TYPES[kind[5:] if kind.startswith("list ") else kind]
                if obj.GetLateType() == "CfgSODate" and name == "S":
                    wanted = datetime.datetime
                for item in items if items is not None else []:
                    assert item is None or isinstance(item, wanted), (obj, name, kind, item)
                    if isinstance(item, cfgso.Object):
                        queue.append(item)
        assert reached == set(listed) and len(listed) > 50


def test_attributes_are_set_by_name(tmp_path):
    ctx = cfgso.factory.createContext()
    spec_object = ctx.query("KroISpecObject")
    names = list(cfgso.attributes(spec_object))
    assert names  # the context's attributes, in the catalog's order
    text_attribute = next(n for n, k in cfgso.attribute_kinds(spec_object).items() if k == "string")
    cfgso.set_attribute(ctx, text_attribute, "Ünïcode")
    assert cfgso.attributes(ctx)[text_attribute] == "Ünïcode"
    cfgso.set_attribute(ctx, text_attribute, None)
    assert cfgso.attributes(ctx)[text_attribute] is None

    date = cfgso.factory.createDate()
    moment = datetime.datetime(2030, 1, 2, 3, 4, 5, tzinfo=cfgso.UTC)
    cfgso.set_attribute(date, "S", moment)
    assert date.getKroTime() == moment and cfgso.attributes(date) == {"S": moment}

    expression = cfgso.factory.createSpecExpression()
    specs = [cfgso.factory.createSpecification().query("KroISpecObject") for _ in range(2)]
    cfgso.set_attribute(expression, "spec_list", specs)
    cfgso.set_attribute(expression, "expr_list", [1, -1])
    assert cfgso.attributes(expression) == {"spec_list": specs, "expr_list": [1, -1]}

    with pytest.raises(cfgso.ArgumentTypeError):
        cfgso.set_attribute(expression, "expr_list", ["one"])
    assert cfgso.attributes(expression)["expr_list"] == [1, -1]  # a refused list leaves the old one
    with pytest.raises(cfgso.ArgumentValueError):
        cfgso.set_attribute(expression, "no such attribute", 1)
    with pytest.raises(TypeError):
        cfgso.attributes(cfgso.manager())

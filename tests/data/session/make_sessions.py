#!/usr/bin/env python3
"""Writes the small session files of the unit tests: one valid session of a 5-point record and
one damaged copy per case. Run from this folder; the files are kept in the repository."""
import base64
import copy
import json
import struct


def f64(values):
    return base64.b64encode(struct.pack('<%dd' % len(values), *values)).decode()


def i32(values):
    return base64.b64encode(struct.pack('<%di' % len(values), *values)).decode()


def points(index, disp, force):
    return {"count": len(index), "index": i32(index), "disp": f64(disp), "force": f64(force)}


def curve(disp, force):
    return {"count": len(disp), "disp": f64(disp), "force": f64(force)}


valid = {
    "format": "TarvelCurve session",
    "version": 1,
    "record": {
        "path": "/data/rec.txt", "beginLine": "1", "step": "1", "count": 5,
        "disp": f64([0, 5, 0, -5, 0]), "force": f64([0, 50, 1, -50, 0]),
        "drags": points([1], [6], [60]),
        "deleted": {"count": 1, "index": i32([3])},
    },
    "analysis": {"analysed": True, "deadBand": 0, "drags": points([], [], []), "selectedLoop": 0},
    "controls": {"loopDirection": 0, "rule": 1, "increasing": False, "rangeFrom": "0",
                 "rangeTo": "0", "tolerance": ""},
    "skeleton": {"positive": curve([0, 5], [0, 50]), "negative": curve([0, -5], [0, -50])},
    "importSettings": {
        "disp": {"column": 1, "scale": 1.0, "negate": False},
        "force": {"column": 2, "scale": 1.0, "negate": False},
        "decimal": 0, "commaFieldSeparator": 0, "sheet": 0, "dispUnit": "", "forceUnit": "",
    },
    "analysisOptions": {"deadBand": 0, "levelTolerancePercent": 5, "yieldMethod": 0,
                        "evaluationCurve": 1},
    "excelOptions": {
        "chartWidth": 300, "chartHeight": 450, "showLegend": True, "legendInLayout": False,
        "showTitle": False, "titleText": "Graph Title", "showAxisLine": True,
        "xAxisPosition": "-10000", "yAxisPosition": "-10000", "showAxisTitle": True,
        "xAxisTitle": "X Axis", "yAxisTitle": "Y Axis", "tickLabelFontSize": 10,
        "axisTitleFontSize": 10, "legendFontSize": 10, "showPlotAreaLine": True,
        "lineWeight": 0.5, "lineColorMode": 0, "markerColorMode": 0, "showMarker": True,
        "markerSize": 4, "markerStyle": 8, "combinedOutput": 0,
    },
}


def write(name, data):
    with open(name, 'w', encoding='utf-8', newline='\n') as f:
        f.write(data if isinstance(data, str) else json.dumps(data, indent=1) + '\n')


def variant(name, change):
    d = copy.deepcopy(valid)
    change(d)
    write(name, d)


write('valid.tcsession', valid)
text = json.dumps(valid, indent=1)
write('empty.tcsession', '')
write('cut_short.tcsession', text[: len(text) // 2])
write('not_json.tcsession', '0, 0\n5, 50\n')
write('other_json.tcsession', '{"format": "something else", "version": 1}\n')
variant('newer_version.tcsession', lambda d: d.update(version=2))
variant('version_zero.tcsession', lambda d: d.update(version=0))
variant('no_record.tcsession', lambda d: d.pop('record'))
variant('text_count.tcsession', lambda d: d['record'].update(count="5"))
variant('short_disp.tcsession', lambda d: d['record'].update(disp=f64([0, 5, 0, -5])))
variant('bad_base64.tcsession', lambda d: d['record'].update(force='AAAA$AAA'))
variant('infinite_force.tcsession',
        lambda d: d['record'].update(force=f64([0, float('inf'), 1, -50, 0])))
variant('drag_out_of_range.tcsession',
        lambda d: d['record'].update(drags=points([7], [6], [60])))
variant('deleted_unsorted.tcsession',
        lambda d: d['record'].update(deleted={"count": 2, "index": i32([3, 1])}))
variant('rule_six.tcsession', lambda d: d['controls'].update(rule=6))
variant('selected_loop_beyond.tcsession', lambda d: d['analysis'].update(selectedLoop=4))
variant('analysed_two_points.tcsession', lambda d: d['record'].update(
    count=2, disp=f64([0, 5]), force=f64([0, 50]), drags=points([], [], []),
    deleted={"count": 0, "index": ""}))
variant('yield_method_nine.tcsession', lambda d: d['analysisOptions'].update(yieldMethod=9))
variant('scale_zero.tcsession',
        lambda d: d['importSettings']['force'].update(scale=0.0))
variant('skeleton_wrong_type.tcsession', lambda d: d['skeleton'].update(positive=[0, 5]))

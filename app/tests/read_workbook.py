#!/usr/bin/env python3
"""Reads a written .xlsx workbook back, independently of the writer, and prints
what the export tests check as JSON: the sheets in order with their kind; for
every worksheet its cells (numbers stay numbers, texts stay texts), hyperlinks,
bold and centred cells and column widths (openpyxl); for every chart sheet its
chart (from the chart's XML in the zip): series with name, ranges and marker,
axis titles, gridlines, orientation, title and legend format.

Usage: read_workbook.py FILE.xlsx
"""
import json
import posixpath
import sys
import zipfile
import xml.etree.ElementTree as ET

import openpyxl
from openpyxl.utils import get_column_letter

NS = {
    "m": "http://schemas.openxmlformats.org/spreadsheetml/2006/main",
    "r": "http://schemas.openxmlformats.org/officeDocument/2006/relationships",
    "rel": "http://schemas.openxmlformats.org/package/2006/relationships",
    "c": "http://schemas.openxmlformats.org/drawingml/2006/chart",
    "a": "http://schemas.openxmlformats.org/drawingml/2006/main",
}
R_ID = "{%s}id" % NS["r"]


def relationships(archive, part):
    folder, name = posixpath.split(part)
    rels = posixpath.join(folder, "_rels", name + ".rels")
    if rels not in archive.namelist():
        return {}
    root = ET.fromstring(archive.read(rels))
    return {
        r.get("Id"): posixpath.normpath(posixpath.join(folder, r.get("Target")))
        for r in root.findall("rel:Relationship", NS)
    }


def text_of(element):
    if element is None:
        return None
    return "".join(t.text or "" for t in element.iter("{%s}t" % NS["a"]))


def srgb(element, path):
    found = element.find(path, NS) if element is not None else None
    return found.get("val") if found is not None else None


def read_chart(archive, part):
    root = ET.fromstring(archive.read(part))
    chart = root.find("c:chart", NS)
    plot_area = chart.find("c:plotArea", NS)
    scatter = plot_area.find("c:scatterChart", NS)
    result = {
        "kind": "scatter" if scatter is not None else "other",
        "title_deleted": srgb(chart, "c:autoTitleDeleted") == "1",
        "has_title": chart.find("c:title", NS) is not None,
        "series": [],
        "axes": {},
    }
    if scatter is None:
        return result
    result["style"] = srgb(scatter, "c:scatterStyle")
    for ser in scatter.findall("c:ser", NS):
        name_ref = ser.find("c:tx/c:strRef/c:f", NS)
        cached = ser.find("c:tx/c:strRef/c:strCache/c:pt/c:v", NS)
        literal = ser.find("c:tx/c:v", NS)
        symbol = ser.find("c:marker/c:symbol", NS)
        result["series"].append({
            "name_ref": name_ref.text if name_ref is not None else None,
            "name": cached.text if cached is not None else (literal.text if literal is not None else None),
            "x": ser.find("c:xVal/c:numRef/c:f", NS).text,
            "y": ser.find("c:yVal/c:numRef/c:f", NS).text,
            "marker": symbol.get("val") if symbol is not None else None,
        })
    # The first axis id of the scatter chart is its x axis, the second its y axis.
    ids = [a.get("val") for a in scatter.findall("c:axId", NS)]
    for axis in plot_area.findall("c:valAx", NS):
        axis_id = srgb(axis, "c:axId")
        which = "x" if ids and axis_id == ids[0] else "y"
        result["axes"][which] = {
            "title": text_of(axis.find("c:title", NS)),
            "gridlines": axis.find("c:majorGridlines", NS) is not None,
            "orientation": srgb(axis, "c:scaling/c:orientation"),
            "position": srgb(axis, "c:axPos"),
            "crosses": srgb(axis, "c:crosses"),
            "min": srgb(axis, "c:scaling/c:min"),
            "max": srgb(axis, "c:scaling/c:max"),
        }
    legend = chart.find("c:legend", NS)
    if legend is not None:
        shape = legend.find("c:spPr", NS)
        result["legend"] = {
            "fill": srgb(shape, "a:solidFill/a:srgbClr"),
            "border": srgb(shape, "a:ln/a:solidFill/a:srgbClr"),
        }
    return result


def read_charts(path):
    charts = {}
    with zipfile.ZipFile(path) as archive:
        workbook = ET.fromstring(archive.read("xl/workbook.xml"))
        sheet_parts = relationships(archive, "xl/workbook.xml")
        for sheet in workbook.findall("m:sheets/m:sheet", NS):
            part = sheet_parts[sheet.get(R_ID)]
            if "/chartsheets/" not in part:
                continue
            drawing = ET.fromstring(archive.read(part)).find("m:drawing", NS)
            drawing_part = relationships(archive, part)[drawing.get(R_ID)]
            for chart_part in relationships(archive, drawing_part).values():
                charts[sheet.get("name")] = read_chart(archive, chart_part)
    return charts


def read_worksheet(ws):
    cells, bold, centred, links = {}, [], [], {}
    for row in ws.iter_rows():
        for cell in row:
            if cell.hyperlink is not None:
                links[cell.coordinate] = cell.hyperlink.location
            if cell.value is None:
                continue
            cells[cell.coordinate] = cell.value
            if cell.font is not None and cell.font.b:
                bold.append(cell.coordinate)
            if cell.alignment is not None and cell.alignment.horizontal == "center" \
                    and cell.alignment.vertical == "center":
                centred.append(cell.coordinate)
    widths = {}
    for key, dim in ws.column_dimensions.items():
        if dim.width:
            for col in range(dim.min or 0, (dim.max or 0) + 1):
                if col:
                    widths[get_column_letter(col)] = dim.width
    return {"cells": cells, "links": links, "bold": bold, "centred": centred, "widths": widths}


def main():
    path = sys.argv[1]
    workbook = openpyxl.load_workbook(path)
    result = {"sheets": [], "worksheets": {}, "charts": read_charts(path)}
    for sheet in workbook._sheets:
        kind = "chartsheet" if isinstance(sheet, openpyxl.chartsheet.Chartsheet) else "worksheet"
        result["sheets"].append({"name": sheet.title, "kind": kind})
        if kind == "worksheet":
            result["worksheets"][sheet.title] = read_worksheet(sheet)
    json.dump(result, sys.stdout)


if __name__ == "__main__":
    main()

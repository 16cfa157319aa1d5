"""Whether records reached the output shapefile unchanged, byte for byte."""

from collections import Counter


def byte_copy_faults(case, folder):
    """Inputs with the output's exact layout and code page keep their records as they were:
    every live .dbf row with its .shp record content is in the output."""
    records = Counter()
    for name in case.byte_copy:
        layer = next(i for i in case.inputs if i.name == name)
        base = folder / "in" / name
        pairs = zip(dbf_rows(base.with_suffix(".dbf")), shp_records(base.with_suffix(".shp")))
        records.update(pair for i, pair in enumerate(pairs) if i not in layer.deleted)
    output = folder / "out" / "merged"
    records.subtract(zip(dbf_rows(output.with_suffix(".dbf")),
                         shp_records(output.with_suffix(".shp"))))
    changed = sum(n for n in records.values() if n > 0)
    if not changed:
        return []
    return [f"byte copy: {changed} records of {', '.join(case.byte_copy)} (.dbf row with .shp "
            f"record) are not in the output as they were"]


def dbf_rows(path):
    data = path.read_bytes()
    count = int.from_bytes(data[4:8], "little")
    header, length = int.from_bytes(data[8:10], "little"), int.from_bytes(data[10:12], "little")
    return [data[header + i * length:header + (i + 1) * length] for i in range(count)]


def shp_records(path):
    """The content of every .shp record, read in file order (not through the index)."""
    data, position, records = path.read_bytes(), 100, []
    while position + 8 <= len(data):
        length = 2 * int.from_bytes(data[position + 4:position + 8], "big")
        records.append(data[position + 8:position + 8 + length])
        position += 8 + length
    return records

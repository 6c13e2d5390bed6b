#!/usr/bin/env python3
# SPDX-License-Identifier: GPL-3.0-or-later
# Runs lumivane-cli on every sample meter and checks its JSON: every document validates against
# docs/json-format.schema.json; every number of a download equals the CSV's text of the same
# records when rounded to its column's decimals, and every null stands where the CSV shows a
# marker; export ID gives the archived document again; titles follow the language, keys never;
# the locale chooses the language without --lang; -o - writes to standard output.
# Usage: json_check.py CLI SAMPLES_DIR SCHEMA
import csv, decimal, glob, io, json, os, pty, struct, subprocess, sys, tempfile
from jsonschema import Draft202012Validator

cli, samples, schema_path = sys.argv[1:4]
with open(schema_path, encoding='utf-8') as f:
    schema = json.load(f)
Draft202012Validator.check_schema(schema)
work = tempfile.mkdtemp()
archive = os.path.join(work, 'archive.sqlite')
base_env = {k: v for k, v in os.environ.items() if k not in ('LANGUAGE', 'LC_ALL', 'LC_MESSAGES', 'LANG')}
failures = []


def fail(message):
    failures.append(message)
    print('FAIL:', message)


def run(args, env=None, stdout=subprocess.PIPE):
    return subprocess.run([cli] + args, cwd=work, env=dict(base_env, **(env or {})), stdout=stdout,
                          stderr=subprocess.PIPE, timeout=300)


def validate(document, kind, what):
    sub = {k: v for k, v in schema.items() if k != 'anyOf'}
    sub['$ref'] = '#/$defs/' + kind
    for error in Draft202012Validator(sub).iter_errors(document):
        fail('%s: %s at %s' % (what, error.message, list(error.absolute_path)))


def rounded(value, decimals, single):
    # The meter's floats are shown from their exact single-precision value.
    exact = decimal.Decimal(struct.unpack('<f', struct.pack('<f', value))[0] if single else value)
    quantum = decimal.Decimal(1).scaleb(-decimals)
    return {str(exact.quantize(quantum, rounding=r)) for r in (decimal.ROUND_HALF_UP, decimal.ROUND_HALF_EVEN)}


def compare(document, csv_bytes, what, english):
    rows = list(csv.reader(io.StringIO(csv_bytes.decode('utf-8-sig'), newline='')))
    header, body = rows[0], rows[1:]
    records = document['records']
    if len(records) != len(body) or document['recordCount'] != len(body):
        return fail('%s: %d records in JSON, %d in CSV' % (what, len(records), len(body)))
    single = document['table'] != 'colour'
    keys = [column['key'] for column in document['columns']]
    if len(set(keys)) != len(keys):
        fail('%s: a key names two columns: %s' % (what, keys))
    places = {}
    for column in document['columns']:
        titles = [column['title'], '%s\n(%s)' % (column['title'], column['unit'])]
        found = [i for i, h in enumerate(header) if h in titles]
        if len(found) != 1:
            return fail('%s: column %s is not in the CSV titles %s' % (what, column['key'], header))
        places[column['key']] = (found[0], column['decimals'])
    marker_texts = {'invalid': '----', 'no_flicker': 'No' if english else '无频闪'}
    for record, row in zip(records, body):
        if 'name' in record and record['name'] not in row:
            fail('%s: record %d named %r, not in %r' % (what, record['number'], record['name'], row))
        if document['table'] != 'records' and row[0] != str(record['number']):
            fail('%s: record %d is row %s' % (what, record['number'], row[0]))
        if list(record['values']) != list(places):
            fail('%s: record %d has the keys %s' % (what, record['number'], list(record['values'])))
        for key, value in record['values'].items():
            column, decimals = places[key]
            text = row[column]
            if value is None:
                marker = record.get('markers', {}).get(key)
                if marker_texts.get(marker) != text:
                    fail('%s: record %d %s is null with marker %s, the CSV shows %r' %
                         (what, record['number'], key, marker, text))
            elif text.lstrip('-') not in {t.lstrip('-') for t in rounded(value, decimals, single)}:
                fail('%s: record %d %s = %r does not round to the CSV %r' % (what, record['number'], key, value, text))


def parsed(result, what):
    if result.returncode != 0:
        fail('%s: exit status %d: %s' % (what, result.returncode, result.stderr.decode()))
        return None
    return json.loads(result.stdout if result.stdout else open(os.path.join(work, 'out.json'), 'rb').read())


archived = {}
for image in sorted(glob.glob(os.path.join(samples, 'meters', '*.json'))):
    name = os.path.basename(image)[:-5]
    meter = ['--virtual-meter', image, '--archive', archive]
    identity = parsed(run(meter + ['identify', '--json']), name + ' identify')
    validate(identity, 'identify', name + ' identify')
    validate(parsed(run(meter + ['list', '--format', 'json']), name + ' list'), 'list', name + ' list')
    tables = ['records'] + (['spectra', 'colour'] if identity['kind'] != 6 else [])
    for table in tables:
        what = '%s %s' % (name, table)
        english = parsed(run(meter + ['--lang', 'en', table, '-o', 'out.json']), what)
        validate(english, 'download', what)
        csv_run = run(meter + ['--no-archive', '--lang', 'en', table, '-o', '-'])
        compare(english, csv_run.stdout, what, True)
        archived[english['archiveId']] = table
        # The locale chooses Chinese titles; keys and values stay.
        chinese = parsed(run(meter + ['--no-archive', table, '-o', '-', '--json'], {'LANG': 'zh_CN.UTF-8'}),
                         what + ' zh')
        validate(chinese, 'download', what + ' zh')
        compare(chinese, run(meter + ['--no-archive', '--lang', 'zh', table, '-o', '-']).stdout, what + ' zh', False)
        if chinese['language'] != 'zh' or [r['values'] for r in chinese['records']] != \
                [r['values'] for r in english['records']]:
            fail('%s: the Chinese document differs from the English one but in titles' % what)
        if table != 'colour':
            again = parsed(run(['--archive', archive, '--lang', 'en', 'export', str(english['archiveId']), '-o', '-',
                                '--format', 'json']), what + ' export')
            validate(again, 'download', what + ' export')
            if again['records'] != english['records'] or again['columns'] != english['columns']:
                fail('%s: export %d differs from the download' % (what, english['archiveId']))

history = parsed(run(['--archive', archive, 'history', '--json']), 'history')
validate(history, 'history', 'history')
if sorted(entry['id'] for entry in history) != sorted(archived):
    fail('history lists %s, the downloads were %s' % ([e['id'] for e in history], sorted(archived)))

# Notes: in annotate's document, the listing and the download written again.
noted = min(archived)
run(['--archive', archive, 'annotate', str(noted), '--title', 'Lamp A', '--note', 'two\nlines'])
notes = {'title': 'Lamp A', 'location': '', 'operator': '', 'note': 'two\nlines'}
annotated = parsed(run(['--archive', archive, 'annotate', str(noted), '--json']), 'annotate')
validate(annotated, 'annotate', 'annotate')
history = parsed(run(['--archive', archive, 'history', '--json', '--grep', 'LAMP']), 'history --grep')
validate(history, 'history', 'history --grep')
again = parsed(run(['--archive', archive, 'export', str(noted), '-o', '-', '--format', 'json']), 'export with notes')
validate(again, 'download', 'export with notes')
if annotated != {'id': noted, 'notes': notes} or [(e['id'], e['notes'], e['edited']) for e in history] != \
        [(noted, notes, False)] or again.get('notes') != notes:
    fail('notes: annotate %r, history %r, export %r' % (annotated, history, again.get('notes')))

# A comparison of every spectral download: each download's records in the order named, with the
# values its own export gives, and the notes of the one that has them.
spectral = [i for i, table in sorted(archived.items()) if table == 'spectra']
run(['--archive', archive, 'annotate', str(spectral[-1]), '--location', 'Lab 2'])
compared = parsed(run(['--archive', archive, 'export', ','.join(map(str, spectral)), '-o', '-', '--format', 'json']),
                  'comparison')
validate(compared, 'comparison', 'comparison')
expected = []
for i in spectral:
    single = parsed(run(['--archive', archive, 'export', str(i), '-o', '-', '--format', 'json']), 'export %d' % i)
    expected += [('#%d-%d' % (i, r['number']), r['values']) for r in single['records']]
if [(r['number'], r['values']) for r in compared['records']] != expected or compared['recordCount'] != len(expected) \
        or [d['archiveId'] for d in compared['downloads']] != spectral \
        or [d.get('notes', {}).get('location') for d in compared['downloads']] != [None] * (len(spectral) - 1) + ['Lab 2']:
    fail('comparison of %s: %r' % (spectral, compared['downloads']))

# No such meter: still an array for the script, and the failure in the exit status.
nothing = run(['--virtual-meter', os.path.join(samples, 'meters', 'kind1.json'), '--serial', 'none', 'list', '--json'])
if nothing.returncode != 1 or json.loads(nothing.stdout) != []:
    fail('list --json of no meter: exit status %d, %r' % (nothing.returncode, nothing.stdout))

# Standard output: CSV and JSON as the files hold them, nothing on standard error; a workbook goes
# to a pipe but never to a terminal.
meter = ['--virtual-meter', os.path.join(samples, 'meters', 'kind1.json'), '--no-archive', '--lang', 'en']
piped = run(meter + ['records', '-o', '-'])
run(meter + ['records', '-o', 'file.csv'])
if piped.stdout != open(os.path.join(work, 'file.csv'), 'rb').read() or piped.stderr:
    fail('-o - gave other CSV bytes than the file, or wrote to standard error: %r' % piped.stderr)
workbook = run(meter + ['records', '-o', '-', '--format', 'xlsx'])
if workbook.returncode != 0 or not workbook.stdout.startswith(b'PK'):
    fail('an xlsx workbook to a pipe: exit status %d' % workbook.returncode)
main, terminal = pty.openpty()
refused = run(meter + ['records', '-o', '-', '--format', 'xls'], stdout=terminal)
os.close(terminal)
os.close(main)
if refused.returncode != 1 or b'binary format' not in refused.stderr:
    fail('an xls workbook to a terminal: exit status %d, %r' % (refused.returncode, refused.stderr))

print('%d failures' % len(failures))
sys.exit(1 if failures else 0)

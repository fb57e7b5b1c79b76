#!/usr/bin/env python3
"""Checks the program's table of present-tense forms against Verbiste's French tables.

Usage: check_conjugation.py TABLE VERBISTE_DIR

Every verb of TABLE must be known to Verbiste; each of its six forms must be one Verbiste
gives for that person (Verbiste gives two for a few verbs: "assieds" and "assois"); and the
verbs Verbiste says begin with an aspirate h must be marked so. Prints each difference and
exits 1 when there is one.
"""
import sys
import xml.etree.ElementTree as ET


def verbiste(directory):
    templates = {}
    for t in ET.parse(directory + '/conjugation-fr.xml').getroot():
        present = t.find('indicative/present')
        templates[t.get('name')] = [[i.text or '' for i in p.findall('i')]
                                    for p in present.findall('p')]
    verbs = {}
    for v in ET.parse(directory + '/verbs-fr.xml').getroot():
        infinitive, template = v.find('i').text, v.find('t').text
        stem = infinitive[:len(infinitive) - len(template.split(':')[1])]
        verbs[infinitive] = ([[stem + ending for ending in person]
                              for person in templates[template]],
                             v.find('aspirate-h') is not None)
    return verbs


def main():
    table, directory = sys.argv[1], sys.argv[2]
    reference = verbiste(directory)
    faults, checked = [], 0
    with open(table, encoding='utf-8') as f:
        for n, line in enumerate(f, 1):
            line = line.rstrip('\n')
            if not line.strip() or line.startswith('#'):
                continue
            fields = line.split('\t')
            infinitive, forms = fields[0], fields[1:7]
            aspirate = len(fields) > 7 and fields[7] == 'h aspiré'
            if infinitive not in reference:
                faults.append(f'line {n}: {infinitive} is not a verb Verbiste knows')
                continue
            persons, reference_aspirate = reference[infinitive]
            for person, (form, allowed) in enumerate(zip(forms, persons)):
                if form not in allowed:
                    faults.append(f'line {n}: {infinitive}, person {person + 1}: '
                                  f'{form!r}, Verbiste says {" or ".join(allowed)}')
            if aspirate != reference_aspirate:
                faults.append(f'line {n}: {infinitive}: aspirate h is {reference_aspirate} '
                              'in Verbiste')
            checked += 1
    for fault in faults:
        print(fault)
    print(f'{checked} verbs checked, {len(faults)} differences')
    return 1 if faults or checked == 0 else 0


if __name__ == '__main__':
    sys.exit(main())
